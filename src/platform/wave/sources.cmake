# Sources of src/platform/wave: target_sources(vorlo_platform PRIVATE ...)
