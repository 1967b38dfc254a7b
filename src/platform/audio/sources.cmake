# Sources of src/platform/audio: target_sources(vorlo_platform PRIVATE ...)
