// Section and keys of Snapory's config.ini.
#pragma once

inline constexpr const char* kConfigSection = "config";
inline constexpr const char* kConfigWorkPath = "workpath";
inline constexpr const char* kConfigImageType = "ImageType";
inline constexpr const char* kConfigJpegQuality = "JPEGQuality";
inline constexpr const char* kConfigLastPage = "LastPage";
inline constexpr const char* kConfigAutoSnapType = "AutoSnapType";
inline constexpr const char* kConfigRecType = "RecType";
inline constexpr const char* kConfigMpegQuality = "MpegQuality";
inline constexpr const char* kConfigCaptureAudio = "bCaptureAudio";
