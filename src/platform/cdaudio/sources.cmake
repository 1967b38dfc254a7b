# Sources of src/platform/cdaudio: target_sources(vorlo_platform PRIVATE ...)
