#pragma once

// The OpenGL names the driver knows, as X-macro lists from which the entry-point
// table, its name strings and the extension table are generated.
//
// VEXLAR_GL_GROUPS(G) calls G(id, "label", MEMBERS) for every entry-point group,
// the two core groups first; MEMBERS(F) calls F(functionName) for the group's
// entry points in loading order.
//
// VEXLAR_GL_EXTENSIONS(X) calls X(id, "name", list, group) for the 80 entries of
// the extension table in the order they are tested: `list` is Gl (searched in
// the GL extension list) or WindowSystem (searched in the window-system list),
// `group` the id of the group loaded when the extension is found, or NoGroup.
//
// Ids drop the "GL_" prefix because the system headers define the extension
// names as macros.

#define VEXLAR_GL_GROUPS(G) \
    G(OpenGL12, "OpenGL 1.2", VEXLAR_GL_GROUP_OpenGL12) \
    G(OpenGL13, "OpenGL 1.3", VEXLAR_GL_GROUP_OpenGL13) \
    G(ARB_imaging, "GL_ARB_imaging", VEXLAR_GL_GROUP_ARB_imaging) \
    G(ARB_multisample, "GL_ARB_multisample", VEXLAR_GL_GROUP_ARB_multisample) \
    G(ARB_multitexture, "GL_ARB_multitexture", VEXLAR_GL_GROUP_ARB_multitexture) \
    G(ARB_point_parameters, "GL_ARB_point_parameters", VEXLAR_GL_GROUP_ARB_point_parameters) \
    G(ARB_texture_compression, "GL_ARB_texture_compression", VEXLAR_GL_GROUP_ARB_texture_compression) \
    G(ARB_vertex_blend, "GL_ARB_vertex_blend", VEXLAR_GL_GROUP_ARB_vertex_blend) \
    G(ARB_vertex_program, "GL_ARB_vertex_program", VEXLAR_GL_GROUP_ARB_vertex_program) \
    G(EXT_compiled_vertex_array, "GL_EXT_compiled_vertex_array", VEXLAR_GL_GROUP_EXT_compiled_vertex_array) \
    G(EXT_cull_vertex, "GL_EXT_cull_vertex", VEXLAR_GL_GROUP_EXT_cull_vertex) \
    G(EXT_draw_range_elements, "GL_EXT_draw_range_elements", VEXLAR_GL_GROUP_EXT_draw_range_elements) \
    G(EXT_fog_coord, "GL_EXT_fog_coord", VEXLAR_GL_GROUP_EXT_fog_coord) \
    G(EXT_multi_draw_arrays, "GL_EXT_multi_draw_arrays", VEXLAR_GL_GROUP_EXT_multi_draw_arrays) \
    G(EXT_point_parameters, "GL_EXT_point_parameters", VEXLAR_GL_GROUP_EXT_point_parameters) \
    G(EXT_secondary_color, "GL_EXT_secondary_color", VEXLAR_GL_GROUP_EXT_secondary_color) \
    G(EXT_stencil_two_side, "GL_EXT_stencil_two_side", VEXLAR_GL_GROUP_EXT_stencil_two_side) \
    G(EXT_vertex_shader, "GL_EXT_vertex_shader", VEXLAR_GL_GROUP_EXT_vertex_shader) \
    G(EXT_vertex_weighting, "GL_EXT_vertex_weighting", VEXLAR_GL_GROUP_EXT_vertex_weighting) \
    G(ATI_element_array, "GL_ATI_element_array", VEXLAR_GL_GROUP_ATI_element_array) \
    G(ATI_envmap_bumpmap, "GL_ATI_envmap_bumpmap", VEXLAR_GL_GROUP_ATI_envmap_bumpmap) \
    G(ATI_fragment_shader, "GL_ATI_fragment_shader", VEXLAR_GL_GROUP_ATI_fragment_shader) \
    G(ATI_pn_triangles, "GL_ATI_pn_triangles", VEXLAR_GL_GROUP_ATI_pn_triangles) \
    G(ATI_vertex_array_object, "GL_ATI_vertex_array_object", VEXLAR_GL_GROUP_ATI_vertex_array_object) \
    G(ATI_vertex_streams, "GL_ATI_vertex_streams", VEXLAR_GL_GROUP_ATI_vertex_streams) \
    G(NV_fence, "GL_NV_fence", VEXLAR_GL_GROUP_NV_fence) \
    G(NV_occlusion_query, "GL_NV_occlusion_query", VEXLAR_GL_GROUP_NV_occlusion_query) \
    G(NV_point_sprite, "GL_NV_point_sprite", VEXLAR_GL_GROUP_NV_point_sprite) \
    G(NV_register_combiners, "GL_NV_register_combiners", VEXLAR_GL_GROUP_NV_register_combiners) \
    G(NV_register_combiners2, "GL_NV_register_combiners2", VEXLAR_GL_GROUP_NV_register_combiners2) \
    G(NV_vertex_array_range, "GL_NV_vertex_array_range", VEXLAR_GL_GROUP_NV_vertex_array_range) \
    G(NV_vertex_program, "GL_NV_vertex_program", VEXLAR_GL_GROUP_NV_vertex_program) \
    G(WGL_ARB_buffer_region, "WGL_ARB_buffer_region", VEXLAR_GL_GROUP_WGL_ARB_buffer_region) \
    G(WGL_ARB_make_current_read, "WGL_ARB_make_current_read", VEXLAR_GL_GROUP_WGL_ARB_make_current_read) \
    G(WGL_ARB_pbuffer, "WGL_ARB_pbuffer", VEXLAR_GL_GROUP_WGL_ARB_pbuffer) \
    G(WGL_ARB_pixel_format, "WGL_ARB_pixel_format", VEXLAR_GL_GROUP_WGL_ARB_pixel_format) \
    G(WGL_ARB_render_texture, "WGL_ARB_render_texture", VEXLAR_GL_GROUP_WGL_ARB_render_texture) \
    G(WGL_EXT_swap_control, "WGL_EXT_swap_control", VEXLAR_GL_GROUP_WGL_EXT_swap_control)

#define VEXLAR_GL_GROUP_OpenGL12(F) \
    F(glTexImage3D) F(glTexSubImage3D) F(glCopyTexSubImage3D) F(glDrawRangeElements)

#define VEXLAR_GL_GROUP_OpenGL13(F) \
    F(glActiveTexture) F(glClientActiveTexture) F(glMultiTexCoord1d) F(glMultiTexCoord1dv) F(glMultiTexCoord1f) \
    F(glMultiTexCoord1fv) F(glMultiTexCoord1i) F(glMultiTexCoord1iv) F(glMultiTexCoord1s) F(glMultiTexCoord1sv) \
    F(glMultiTexCoord2d) F(glMultiTexCoord2dv) F(glMultiTexCoord2f) F(glMultiTexCoord2fv) F(glMultiTexCoord2i) \
    F(glMultiTexCoord2iv) F(glMultiTexCoord2s) F(glMultiTexCoord2sv) F(glMultiTexCoord3d) F(glMultiTexCoord3dv) \
    F(glMultiTexCoord3f) F(glMultiTexCoord3fv) F(glMultiTexCoord3i) F(glMultiTexCoord3iv) F(glMultiTexCoord3s) \
    F(glMultiTexCoord3sv) F(glMultiTexCoord4d) F(glMultiTexCoord4dv) F(glMultiTexCoord4f) F(glMultiTexCoord4fv) \
    F(glMultiTexCoord4i) F(glMultiTexCoord4iv) F(glMultiTexCoord4s) F(glMultiTexCoord4sv) F(glLoadTransposeMatrixf) \
    F(glLoadTransposeMatrixd) F(glMultTransposeMatrixf) F(glMultTransposeMatrixd) F(glCompressedTexImage3D) \
    F(glCompressedTexImage2D) F(glCompressedTexImage1D) F(glCompressedTexSubImage3D) F(glCompressedTexSubImage2D) \
    F(glCompressedTexSubImage1D) F(glGetCompressedTexImage) F(glSampleCoverage)

#define VEXLAR_GL_GROUP_ARB_imaging(F) \
    F(glBlendColor) F(glBlendEquation) F(glColorTable) F(glColorTableParameterfv) F(glColorTableParameteriv) \
    F(glCopyColorTable) F(glGetColorTable) F(glGetColorTableParameterfv) F(glGetColorTableParameteriv) \
    F(glColorSubTable) F(glCopyColorSubTable) F(glConvolutionFilter1D) F(glConvolutionFilter2D) \
    F(glConvolutionParameterf) F(glConvolutionParameterfv) F(glConvolutionParameteri) F(glConvolutionParameteriv) \
    F(glCopyConvolutionFilter1D) F(glCopyConvolutionFilter2D) F(glGetConvolutionFilter) \
    F(glGetConvolutionParameterfv) F(glGetConvolutionParameteriv) F(glGetSeparableFilter) F(glSeparableFilter2D) \
    F(glGetHistogram) F(glGetHistogramParameterfv) F(glGetHistogramParameteriv) F(glGetMinmax) \
    F(glGetMinmaxParameterfv) F(glGetMinmaxParameteriv) F(glHistogram) F(glMinmax) F(glResetHistogram) \
    F(glResetMinmax)

#define VEXLAR_GL_GROUP_ARB_multisample(F) \
    F(glSampleCoverageARB)

#define VEXLAR_GL_GROUP_ARB_multitexture(F) \
    F(glActiveTextureARB) F(glClientActiveTextureARB) F(glMultiTexCoord1dARB) F(glMultiTexCoord1dvARB) \
    F(glMultiTexCoord1fARB) F(glMultiTexCoord1fvARB) F(glMultiTexCoord1iARB) F(glMultiTexCoord1ivARB) \
    F(glMultiTexCoord1sARB) F(glMultiTexCoord1svARB) F(glMultiTexCoord2dARB) F(glMultiTexCoord2dvARB) \
    F(glMultiTexCoord2fARB) F(glMultiTexCoord2fvARB) F(glMultiTexCoord2iARB) F(glMultiTexCoord2ivARB) \
    F(glMultiTexCoord2sARB) F(glMultiTexCoord2svARB) F(glMultiTexCoord3dARB) F(glMultiTexCoord3dvARB) \
    F(glMultiTexCoord3fARB) F(glMultiTexCoord3fvARB) F(glMultiTexCoord3iARB) F(glMultiTexCoord3ivARB) \
    F(glMultiTexCoord3sARB) F(glMultiTexCoord3svARB) F(glMultiTexCoord4dARB) F(glMultiTexCoord4dvARB) \
    F(glMultiTexCoord4fARB) F(glMultiTexCoord4fvARB) F(glMultiTexCoord4iARB) F(glMultiTexCoord4ivARB) \
    F(glMultiTexCoord4sARB) F(glMultiTexCoord4svARB)

#define VEXLAR_GL_GROUP_ARB_point_parameters(F) \
    F(glPointParameterfARB) F(glPointParameterfvARB)

#define VEXLAR_GL_GROUP_ARB_texture_compression(F) \
    F(glCompressedTexImage3DARB) F(glCompressedTexImage2DARB) F(glCompressedTexImage1DARB) \
    F(glCompressedTexSubImage3DARB) F(glCompressedTexSubImage2DARB) F(glCompressedTexSubImage1DARB) \
    F(glGetCompressedTexImageARB)

#define VEXLAR_GL_GROUP_ARB_vertex_blend(F) \
    F(glWeightbvARB) F(glWeightsvARB) F(glWeightivARB) F(glWeightfvARB) F(glWeightdvARB) F(glWeightubvARB) \
    F(glWeightusvARB) F(glWeightuivARB) F(glWeightPointerARB) F(glVertexBlendARB)

#define VEXLAR_GL_GROUP_ARB_vertex_program(F) \
    F(glVertexAttrib1sARB) F(glVertexAttrib1fARB) F(glVertexAttrib1dARB) F(glVertexAttrib2sARB) \
    F(glVertexAttrib2fARB) F(glVertexAttrib2dARB) F(glVertexAttrib3sARB) F(glVertexAttrib3fARB) \
    F(glVertexAttrib3dARB) F(glVertexAttrib4sARB) F(glVertexAttrib4fARB) F(glVertexAttrib4dARB) \
    F(glVertexAttrib4NubARB) F(glVertexAttrib1svARB) F(glVertexAttrib1fvARB) F(glVertexAttrib1dvARB) \
    F(glVertexAttrib2svARB) F(glVertexAttrib2fvARB) F(glVertexAttrib2dvARB) F(glVertexAttrib3svARB) \
    F(glVertexAttrib3fvARB) F(glVertexAttrib3dvARB) F(glVertexAttrib4bvARB) F(glVertexAttrib4svARB) \
    F(glVertexAttrib4ivARB) F(glVertexAttrib4ubvARB) F(glVertexAttrib4usvARB) F(glVertexAttrib4uivARB) \
    F(glVertexAttrib4fvARB) F(glVertexAttrib4dvARB) F(glVertexAttrib4NbvARB) F(glVertexAttrib4NsvARB) \
    F(glVertexAttrib4NivARB) F(glVertexAttrib4NubvARB) F(glVertexAttrib4NusvARB) F(glVertexAttrib4NuivARB) \
    F(glVertexAttribPointerARB) F(glEnableVertexAttribArrayARB) F(glDisableVertexAttribArrayARB) \
    F(glProgramStringARB) F(glBindProgramARB) F(glDeleteProgramsARB) F(glGenProgramsARB) \
    F(glProgramEnvParameter4dARB) F(glProgramEnvParameter4dvARB) F(glProgramEnvParameter4fARB) \
    F(glProgramEnvParameter4fvARB) F(glProgramLocalParameter4dARB) F(glProgramLocalParameter4dvARB) \
    F(glProgramLocalParameter4fARB) F(glProgramLocalParameter4fvARB) F(glGetProgramEnvParameterdvARB) \
    F(glGetProgramEnvParameterfvARB) F(glGetProgramLocalParameterdvARB) F(glGetProgramLocalParameterfvARB) \
    F(glGetProgramivARB) F(glGetProgramStringARB) F(glGetVertexAttribdvARB) F(glGetVertexAttribfvARB) \
    F(glGetVertexAttribivARB) F(glGetVertexAttribPointervARB) F(glIsProgramARB)

#define VEXLAR_GL_GROUP_EXT_compiled_vertex_array(F) \
    F(glLockArraysEXT) F(glUnlockArraysEXT)

#define VEXLAR_GL_GROUP_EXT_cull_vertex(F) \
    F(glCullParameterfvEXT) F(glCullParameterdvEXT)

#define VEXLAR_GL_GROUP_EXT_draw_range_elements(F) \
    F(glDrawRangeElementsEXT)

#define VEXLAR_GL_GROUP_EXT_fog_coord(F) \
    F(glFogCoordfEXT) F(glFogCoordfvEXT) F(glFogCoorddEXT) F(glFogCoorddvEXT) F(glFogCoordPointerEXT)

#define VEXLAR_GL_GROUP_EXT_multi_draw_arrays(F) \
    F(glMultiDrawArraysEXT) F(glMultiDrawElementsEXT)

#define VEXLAR_GL_GROUP_EXT_point_parameters(F) \
    F(glPointParameterfEXT) F(glPointParameterfvEXT)

#define VEXLAR_GL_GROUP_EXT_secondary_color(F) \
    F(glSecondaryColor3bEXT) F(glSecondaryColor3bvEXT) F(glSecondaryColor3dEXT) F(glSecondaryColor3dvEXT) \
    F(glSecondaryColor3fEXT) F(glSecondaryColor3fvEXT) F(glSecondaryColor3iEXT) F(glSecondaryColor3ivEXT) \
    F(glSecondaryColor3sEXT) F(glSecondaryColor3svEXT) F(glSecondaryColor3ubEXT) F(glSecondaryColor3ubvEXT) \
    F(glSecondaryColor3uiEXT) F(glSecondaryColor3uivEXT) F(glSecondaryColor3usEXT) F(glSecondaryColor3usvEXT) \
    F(glSecondaryColorPointerEXT)

#define VEXLAR_GL_GROUP_EXT_stencil_two_side(F) \
    F(glActiveStencilFaceEXT)

#define VEXLAR_GL_GROUP_EXT_vertex_shader(F) \
    F(glBeginVertexShaderEXT) F(glEndVertexShaderEXT) F(glBindVertexShaderEXT) F(glGenVertexShadersEXT) \
    F(glDeleteVertexShaderEXT) F(glShaderOp1EXT) F(glShaderOp2EXT) F(glShaderOp3EXT) F(glSwizzleEXT) \
    F(glWriteMaskEXT) F(glInsertComponentEXT) F(glExtractComponentEXT) F(glGenSymbolsEXT) F(glSetInvarianceEXT) \
    F(glSetLocalConstantEXT) F(glVariantbvEXT) F(glVariantsvEXT) F(glVariantivEXT) F(glVariantfvEXT) \
    F(glVariantdvEXT) F(glVariantubvEXT) F(glVariantusvEXT) F(glVariantuivEXT) F(glVariantPointerEXT) \
    F(glEnableVariantClientStateEXT) F(glDisableVariantClientStateEXT) F(glBindLightParameterEXT) \
    F(glBindMaterialParameterEXT) F(glBindTexGenParameterEXT) F(glBindTextureUnitParameterEXT) F(glBindParameterEXT) \
    F(glIsVariantEnabledEXT) F(glGetVariantBooleanvEXT) F(glGetVariantIntegervEXT) F(glGetVariantFloatvEXT) \
    F(glGetVariantPointervEXT) F(glGetInvariantBooleanvEXT) F(glGetInvariantIntegervEXT) F(glGetInvariantFloatvEXT) \
    F(glGetLocalConstantBooleanvEXT) F(glGetLocalConstantIntegervEXT) F(glGetLocalConstantFloatvEXT)

#define VEXLAR_GL_GROUP_EXT_vertex_weighting(F) \
    F(glVertexWeightfEXT) F(glVertexWeightfvEXT) F(glVertexWeightPointerEXT)

#define VEXLAR_GL_GROUP_ATI_element_array(F) \
    F(glElementPointerATI) F(glDrawElementArrayATI) F(glDrawRangeElementArrayATI)

#define VEXLAR_GL_GROUP_ATI_envmap_bumpmap(F) \
    F(glTexBumpParameterivATI) F(glTexBumpParameterfvATI) F(glGetTexBumpParameterivATI) \
    F(glGetTexBumpParameterfvATI)

#define VEXLAR_GL_GROUP_ATI_fragment_shader(F) \
    F(glGenFragmentShadersATI) F(glBindFragmentShaderATI) F(glDeleteFragmentShaderATI) F(glBeginFragmentShaderATI) \
    F(glEndFragmentShaderATI) F(glPassTexCoordATI) F(glSampleMapATI) F(glColorFragmentOp1ATI) \
    F(glColorFragmentOp2ATI) F(glColorFragmentOp3ATI) F(glAlphaFragmentOp1ATI) F(glAlphaFragmentOp2ATI) \
    F(glAlphaFragmentOp3ATI) F(glSetFragmentShaderConstantATI)

#define VEXLAR_GL_GROUP_ATI_pn_triangles(F) \
    F(glPNTrianglesiATI) F(glPNTrianglesfATI)

#define VEXLAR_GL_GROUP_ATI_vertex_array_object(F) \
    F(glNewObjectBufferATI) F(glIsObjectBufferATI) F(glUpdateObjectBufferATI) F(glGetObjectBufferfvATI) \
    F(glGetObjectBufferivATI) F(glFreeObjectBufferATI) F(glArrayObjectATI) F(glGetArrayObjectfvATI) \
    F(glGetArrayObjectivATI) F(glVariantArrayObjectATI) F(glGetVariantArrayObjectfvATI) \
    F(glGetVariantArrayObjectivATI)

#define VEXLAR_GL_GROUP_ATI_vertex_streams(F) \
    F(glClientActiveVertexStreamATI) F(glVertexBlendEnviATI) F(glVertexBlendEnvfATI) F(glVertexStream2sATI) \
    F(glVertexStream2svATI) F(glVertexStream2iATI) F(glVertexStream2ivATI) F(glVertexStream2fATI) \
    F(glVertexStream2fvATI) F(glVertexStream2dATI) F(glVertexStream2dvATI) F(glVertexStream3sATI) \
    F(glVertexStream3svATI) F(glVertexStream3iATI) F(glVertexStream3ivATI) F(glVertexStream3fATI) \
    F(glVertexStream3fvATI) F(glVertexStream3dATI) F(glVertexStream3dvATI) F(glVertexStream4sATI) \
    F(glVertexStream4svATI) F(glVertexStream4iATI) F(glVertexStream4ivATI) F(glVertexStream4fATI) \
    F(glVertexStream4fvATI) F(glVertexStream4dATI) F(glVertexStream4dvATI) F(glNormalStream3bATI) \
    F(glNormalStream3bvATI) F(glNormalStream3sATI) F(glNormalStream3svATI) F(glNormalStream3iATI) \
    F(glNormalStream3ivATI) F(glNormalStream3fATI) F(glNormalStream3fvATI) F(glNormalStream3dATI) \
    F(glNormalStream3dvATI)

#define VEXLAR_GL_GROUP_NV_fence(F) \
    F(glGenFencesNV) F(glDeleteFencesNV) F(glSetFenceNV) F(glTestFenceNV) F(glFinishFenceNV) F(glIsFenceNV) \
    F(glGetFenceivNV)

#define VEXLAR_GL_GROUP_NV_occlusion_query(F) \
    F(glGenOcclusionQueriesNV) F(glDeleteOcclusionQueriesNV) F(glIsOcclusionQueryNV) F(glBeginOcclusionQueryNV) \
    F(glEndOcclusionQueryNV) F(glGetOcclusionQueryivNV) F(glGetOcclusionQueryuivNV)

#define VEXLAR_GL_GROUP_NV_point_sprite(F) \
    F(glPointParameteriNV) F(glPointParameterivNV)

#define VEXLAR_GL_GROUP_NV_register_combiners(F) \
    F(glCombinerParameterfvNV) F(glCombinerParameterfNV) F(glCombinerParameterivNV) F(glCombinerParameteriNV) \
    F(glCombinerInputNV) F(glCombinerOutputNV) F(glFinalCombinerInputNV) F(glGetCombinerInputParameterfvNV) \
    F(glGetCombinerInputParameterivNV) F(glGetCombinerOutputParameterfvNV) F(glGetCombinerOutputParameterivNV) \
    F(glGetFinalCombinerInputParameterfvNV) F(glGetFinalCombinerInputParameterivNV)

#define VEXLAR_GL_GROUP_NV_register_combiners2(F) \
    F(glCombinerStageParameterfvNV) F(glGetCombinerStageParameterfvNV)

#define VEXLAR_GL_GROUP_NV_vertex_array_range(F) \
    F(glFlushVertexArrayRangeNV) F(glVertexArrayRangeNV) F(wglAllocateMemoryNV) F(wglFreeMemoryNV)

#define VEXLAR_GL_GROUP_NV_vertex_program(F) \
    F(glBindProgramNV) F(glDeleteProgramsNV) F(glExecuteProgramNV) F(glGenProgramsNV) F(glAreProgramsResidentNV) \
    F(glRequestResidentProgramsNV) F(glGetProgramParameterfvNV) F(glGetProgramParameterdvNV) F(glGetProgramivNV) \
    F(glGetProgramStringNV) F(glGetTrackMatrixivNV) F(glGetVertexAttribdvNV) F(glGetVertexAttribfvNV) \
    F(glGetVertexAttribivNV) F(glGetVertexAttribPointervNV) F(glIsProgramNV) F(glLoadProgramNV) \
    F(glProgramParameter4fNV) F(glProgramParameter4dNV) F(glProgramParameter4dvNV) F(glProgramParameter4fvNV) \
    F(glProgramParameters4dvNV) F(glProgramParameters4fvNV) F(glTrackMatrixNV) F(glVertexAttribPointerNV) \
    F(glVertexAttrib1sNV) F(glVertexAttrib1fNV) F(glVertexAttrib1dNV) F(glVertexAttrib2sNV) F(glVertexAttrib2fNV) \
    F(glVertexAttrib2dNV) F(glVertexAttrib3sNV) F(glVertexAttrib3fNV) F(glVertexAttrib3dNV) F(glVertexAttrib4sNV) \
    F(glVertexAttrib4fNV) F(glVertexAttrib4dNV) F(glVertexAttrib4ubNV) F(glVertexAttrib1svNV) F(glVertexAttrib1fvNV) \
    F(glVertexAttrib1dvNV) F(glVertexAttrib2svNV) F(glVertexAttrib2fvNV) F(glVertexAttrib2dvNV) \
    F(glVertexAttrib3svNV) F(glVertexAttrib3fvNV) F(glVertexAttrib3dvNV) F(glVertexAttrib4svNV) \
    F(glVertexAttrib4fvNV) F(glVertexAttrib4dvNV) F(glVertexAttrib4ubvNV) F(glVertexAttribs1svNV) \
    F(glVertexAttribs1fvNV) F(glVertexAttribs1dvNV) F(glVertexAttribs2svNV) F(glVertexAttribs2fvNV) \
    F(glVertexAttribs2dvNV) F(glVertexAttribs3svNV) F(glVertexAttribs3fvNV) F(glVertexAttribs3dvNV) \
    F(glVertexAttribs4svNV) F(glVertexAttribs4fvNV) F(glVertexAttribs4dvNV) F(glVertexAttribs4ubvNV)

#define VEXLAR_GL_GROUP_WGL_ARB_buffer_region(F) \
    F(wglCreateBufferRegionARB) F(wglDeleteBufferRegionARB) F(wglSaveBufferRegionARB) F(wglRestoreBufferRegionARB)

#define VEXLAR_GL_GROUP_WGL_ARB_make_current_read(F) \
    F(wglMakeContextCurrentARB) F(wglGetCurrentReadDCARB)

#define VEXLAR_GL_GROUP_WGL_ARB_pbuffer(F) \
    F(wglCreatePbufferARB) F(wglGetPbufferDCARB) F(wglReleasePbufferDCARB) F(wglDestroyPbufferARB) \
    F(wglQueryPbufferARB)

#define VEXLAR_GL_GROUP_WGL_ARB_pixel_format(F) \
    F(wglGetPixelFormatAttribivARB) F(wglGetPixelFormatAttribfvARB) F(wglChoosePixelFormatARB)

#define VEXLAR_GL_GROUP_WGL_ARB_render_texture(F) \
    F(wglBindTexImageARB) F(wglReleaseTexImageARB) F(wglSetPbufferAttribARB)

#define VEXLAR_GL_GROUP_WGL_EXT_swap_control(F) \
    F(wglSwapIntervalEXT) F(wglGetSwapIntervalEXT)

#define VEXLAR_GL_EXTENSIONS(X) \
    X(ARB_imaging, "GL_ARB_imaging", Gl, ARB_imaging) \
    X(ARB_depth_texture, "GL_ARB_depth_texture", Gl, NoGroup) \
    X(ARB_matrix_palette, "GL_ARB_matrix_palette", Gl, NoGroup) \
    X(ARB_multisample, "GL_ARB_multisample", Gl, ARB_multisample) \
    X(ARB_multitexture, "GL_ARB_multitexture", Gl, ARB_multitexture) \
    X(ARB_point_parameters, "GL_ARB_point_parameters", Gl, ARB_point_parameters) \
    X(ARB_shadow, "GL_ARB_shadow", Gl, NoGroup) \
    X(ARB_shadow_ambient, "GL_ARB_shadow_ambient", Gl, NoGroup) \
    X(ARB_texture_border_clamp, "GL_ARB_texture_border_clamp", Gl, NoGroup) \
    X(ARB_texture_compression, "GL_ARB_texture_compression", Gl, ARB_texture_compression) \
    X(ARB_texture_cube_map, "GL_ARB_texture_cube_map", Gl, NoGroup) \
    X(ARB_texture_env_add, "GL_ARB_texture_env_add", Gl, NoGroup) \
    X(ARB_texture_env_combine, "GL_ARB_texture_env_combine", Gl, NoGroup) \
    X(ARB_texture_env_dot3, "GL_ARB_texture_env_dot3", Gl, NoGroup) \
    X(ARB_texture_mirrored_repeat, "GL_ARB_texture_mirrored_repeat", Gl, NoGroup) \
    X(ARB_vertex_blend, "GL_ARB_vertex_blend", Gl, ARB_vertex_blend) \
    X(ARB_vertex_program, "GL_ARB_vertex_program", Gl, ARB_vertex_program) \
    X(EXT_abgr, "GL_EXT_abgr", Gl, NoGroup) \
    X(EXT_bgra, "GL_EXT_bgra", Gl, NoGroup) \
    X(EXT_blend_function_separate, "GL_EXT_blend_function_separate", Gl, NoGroup) \
    X(EXT_compiled_vertex_array, "GL_EXT_compiled_vertex_array", Gl, EXT_compiled_vertex_array) \
    X(EXT_cull_vertex, "GL_EXT_cull_vertex", Gl, EXT_cull_vertex) \
    X(EXT_draw_range_elements, "GL_EXT_draw_range_elements", Gl, EXT_draw_range_elements) \
    X(EXT_fog_coord, "GL_EXT_fog_coord", Gl, EXT_fog_coord) \
    X(EXT_multi_draw_arrays, "GL_EXT_multi_draw_arrays", Gl, EXT_multi_draw_arrays) \
    X(EXT_point_parameters, "GL_EXT_point_parameters", Gl, EXT_point_parameters) \
    X(EXT_secondary_color, "GL_EXT_secondary_color", Gl, EXT_secondary_color) \
    X(EXT_separate_specular_color, "GL_EXT_separate_specular_color", Gl, NoGroup) \
    X(EXT_shadow_funcs, "GL_EXT_shadow_funcs", Gl, NoGroup) \
    X(EXT_stencil_two_side, "GL_EXT_stencil_two_side", Gl, EXT_stencil_two_side) \
    X(EXT_stencil_wrap, "GL_EXT_stencil_wrap", Gl, NoGroup) \
    X(EXT_texture_compression_s3tc, "GL_EXT_texture_compression_s3tc", Gl, NoGroup) \
    X(EXT_texture_filter_anisotropic, "GL_EXT_texture_filter_anisotropic", Gl, NoGroup) \
    X(EXT_texture_lod_bias, "GL_EXT_texture_lod_bias", Gl, NoGroup) \
    X(EXT_vertex_shader, "GL_EXT_vertex_shader", Gl, EXT_vertex_shader) \
    X(EXT_vertex_weighting, "GL_EXT_vertex_weighting", Gl, EXT_vertex_weighting) \
    X(ATI_element_array, "GL_ATI_element_array", Gl, ATI_element_array) \
    X(ATI_envmap_bumpmap, "GL_ATI_envmap_bumpmap", Gl, ATI_envmap_bumpmap) \
    X(ATI_fragment_shader, "GL_ATI_fragment_shader", Gl, ATI_fragment_shader) \
    X(ATI_pn_triangles, "GL_ATI_pn_triangles", Gl, ATI_pn_triangles) \
    X(ATI_point_cull_mode, "GL_ATI_point_cull_mode", Gl, NoGroup) \
    X(ATI_texture_mirror_once, "GL_ATI_texture_mirror_once", Gl, NoGroup) \
    X(ATI_vertex_array_object, "GL_ATI_vertex_array_object", Gl, ATI_vertex_array_object) \
    X(ATI_vertex_streams, "GL_ATI_vertex_streams", Gl, ATI_vertex_streams) \
    X(ATIX_point_sprites, "GL_ATIX_point_sprites", Gl, NoGroup) \
    X(ATIX_texture_env_route, "GL_ATIX_texture_env_route", Gl, NoGroup) \
    X(HP_occlusion_test, "GL_HP_occlusion_test", Gl, NoGroup) \
    X(NV_blend_square, "GL_NV_blend_square", Gl, NoGroup) \
    X(NV_copy_depth_to_color, "GL_NV_copy_depth_to_color", Gl, NoGroup) \
    X(NV_depth_clamp, "GL_NV_depth_clamp", Gl, NoGroup) \
    X(NV_evaluators, "GL_NV_evaluators", Gl, NoGroup) \
    X(NV_fence, "GL_NV_fence", Gl, NV_fence) \
    X(NV_fog_distance, "GL_NV_fog_distance", Gl, NoGroup) \
    X(NV_light_max_exponent, "GL_NV_light_max_exponent", Gl, NoGroup) \
    X(NV_occlusion_query, "GL_NV_occlusion_query", Gl, NV_occlusion_query) \
    X(NV_packed_depth_stencil, "GL_NV_packed_depth_stencil", Gl, NoGroup) \
    X(NV_point_sprite, "GL_NV_point_sprite", Gl, NV_point_sprite) \
    X(NV_register_combiners, "GL_NV_register_combiners", Gl, NV_register_combiners) \
    X(NV_register_combiners2, "GL_NV_register_combiners2", Gl, NV_register_combiners2) \
    X(NV_texgen_reflection, "GL_NV_texgen_reflection", Gl, NoGroup) \
    X(NV_texture_env_combine4, "GL_NV_texture_env_combine4", Gl, NoGroup) \
    X(NV_texture_rectangle, "GL_NV_texture_rectangle", Gl, NoGroup) \
    X(NV_texture_shader, "GL_NV_texture_shader", Gl, NoGroup) \
    X(NV_texture_shader2, "GL_NV_texture_shader2", Gl, NoGroup) \
    X(NV_texture_shader3, "GL_NV_texture_shader3", Gl, NoGroup) \
    X(NV_vertex_array_range, "GL_NV_vertex_array_range", Gl, NV_vertex_array_range) \
    X(NV_vertex_array_range2, "GL_NV_vertex_array_range2", Gl, NoGroup) \
    X(NV_vertex_program, "GL_NV_vertex_program", Gl, NV_vertex_program) \
    X(SGIS_generate_mipmap, "GL_SGIS_generate_mipmap", Gl, NoGroup) \
    X(SGIX_depth_texture, "GL_SGIX_depth_texture", Gl, NoGroup) \
    X(SGIX_shadow, "GL_SGIX_shadow", Gl, NoGroup) \
    X(WGL_ARB_buffer_region, "WGL_ARB_buffer_region", WindowSystem, WGL_ARB_buffer_region) \
    X(WGL_ARB_make_current_read, "WGL_ARB_make_current_read", WindowSystem, WGL_ARB_make_current_read) \
    X(WGL_ARB_multisample, "WGL_ARB_multisample", WindowSystem, NoGroup) \
    X(WGL_ARB_pbuffer, "WGL_ARB_pbuffer", WindowSystem, WGL_ARB_pbuffer) \
    X(WGL_ARB_pixel_format, "WGL_ARB_pixel_format", WindowSystem, WGL_ARB_pixel_format) \
    X(WGL_ARB_render_texture, "WGL_ARB_render_texture", WindowSystem, WGL_ARB_render_texture) \
    X(WGL_EXT_swap_control, "WGL_EXT_swap_control", WindowSystem, WGL_EXT_swap_control) \
    X(WGL_NV_render_depth_texture, "WGL_NV_render_depth_texture", WindowSystem, NoGroup) \
    X(WGL_NV_render_texture_rectangle, "WGL_NV_render_texture_rectangle", WindowSystem, NoGroup)
