# Sources of src/platform/service: target_sources(vorlo_platform PRIVATE ...)
