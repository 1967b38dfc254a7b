# Sources of src/platform/tools: target_sources(vorlo_platform PRIVATE ...)
