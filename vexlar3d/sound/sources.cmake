# Sources of vexlar3d/sound/.
target_sources(vexlar3d PRIVATE
  sound/T_AudioDecoder.cpp
  sound/T_AudioMixer.cpp
  sound/T_MixerStream.cpp
  sound/T_ModuleDecoder.cpp
  sound/T_MusicAnalyzer.cpp
  sound/T_SndfileDecoder.cpp
  sound/T_SoundSystem.cpp
  sound/T_SpectrumAnalyzer.cpp
  sound/T_VorbisDecoder.cpp
)
pkg_check_modules(VEXLAR_SOUND REQUIRED IMPORTED_TARGET sndfile libopenmpt kissfft-float vorbisfile ogg)
target_link_libraries(vexlar3d PUBLIC PkgConfig::VEXLAR_SOUND)
