#pragma once

#include "platform/Mci.h"

// The platform's MCI error numbers that this service returns. The values are the
// platform's own (MCIERR_BASE is 256), so that callers and logs read the same on both.
namespace vorlo::platform::mcierr {

inline constexpr MciError kNone = 0;
inline constexpr MciError kInvalidDeviceId = 257;
inline constexpr MciError kUnrecognizedKeyword = 259;
inline constexpr MciError kUnrecognizedCommand = 261;
inline constexpr MciError kHardware = 262;
inline constexpr MciError kInvalidDeviceName = 263;
inline constexpr MciError kOutOfMemory = 264;
inline constexpr MciError kDeviceOpen = 265;
inline constexpr MciError kCannotLoadDriver = 266;
inline constexpr MciError kMissingCommandString = 267;
inline constexpr MciError kParamOverflow = 268;
inline constexpr MciError kMissingStringArgument = 269;
inline constexpr MciError kBadInteger = 270;
inline constexpr MciError kMissingParameter = 273;
inline constexpr MciError kUnsupportedFunction = 274;
inline constexpr MciError kFileNotFound = 275;
inline constexpr MciError kDeviceNotReady = 276;
inline constexpr MciError kInternal = 277;
inline constexpr MciError kOutOfRange = 282;
inline constexpr MciError kFlagsNotCompatible = 284;
inline constexpr MciError kFileNotSaved = 286;
inline constexpr MciError kDeviceTypeRequired = 287;
inline constexpr MciError kDuplicateAlias = 289;
inline constexpr MciError kBadConstant = 290;
inline constexpr MciError kMissingDeviceName = 292;
inline constexpr MciError kBadTimeFormat = 293;
inline constexpr MciError kNoClosingQuote = 294;
inline constexpr MciError kDuplicateFlags = 295;
inline constexpr MciError kInvalidFile = 296;
inline constexpr MciError kNewRequiresAlias = 299;
inline constexpr MciError kNoElementAllowed = 301;
inline constexpr MciError kFilenameRequired = 304;
inline constexpr MciError kDeviceNotInstalled = 306;
inline constexpr MciError kFileWrite = 349;

// A short English description of an error number, for diagnostics (never for replies).
const char* Describe(MciError error);

} // namespace vorlo::platform::mcierr
