#include "platform/mci/MciErrors.h"

namespace vorlo::platform::mcierr {

const char* Describe(MciError error)
{
    switch (error) {
    case kNone: return "no error";
    case kInvalidDeviceId: return "invalid device id";
    case kUnrecognizedKeyword: return "unrecognized keyword";
    case kUnrecognizedCommand: return "unrecognized command";
    case kHardware: return "hardware error";
    case kInvalidDeviceName: return "the device is not open or is not known";
    case kOutOfMemory: return "out of memory";
    case kDeviceOpen: return "the device is already open";
    case kCannotLoadDriver: return "the device driver cannot be loaded";
    case kMissingCommandString: return "no command was given";
    case kParamOverflow: return "the reply does not fit the reply area";
    case kMissingStringArgument: return "a string value is missing";
    case kBadInteger: return "an integer is missing or invalid";
    case kMissingParameter: return "a parameter is missing";
    case kUnsupportedFunction: return "the device does not support this command";
    case kFileNotFound: return "file not found";
    case kDeviceNotReady: return "the device is not ready";
    case kInternal: return "internal error";
    case kOutOfRange: return "value out of range";
    case kFlagsNotCompatible: return "the parameters cannot be used together";
    case kFileNotSaved: return "the file was not saved";
    case kDeviceTypeRequired: return "a device type is required";
    case kDuplicateAlias: return "the alias is already in use";
    case kBadConstant: return "unknown value for a parameter";
    case kMissingDeviceName: return "no device name was given";
    case kBadTimeFormat: return "time format not supported by this device";
    case kNoClosingQuote: return "a closing quote is missing";
    case kDuplicateFlags: return "a parameter was given twice";
    case kInvalidFile: return "invalid or unsupported file format";
    case kNewRequiresAlias: return "\"new\" requires an alias";
    case kNoElementAllowed: return "this device takes no file name";
    case kFilenameRequired: return "a file name is required";
    case kDeviceNotInstalled: return "no such device is installed";
    case kFileWrite: return "the file cannot be written";
    default: return "unknown error";
    }
}

} // namespace vorlo::platform::mcierr
