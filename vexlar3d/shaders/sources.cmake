# Sources of vexlar3d/shaders/.
