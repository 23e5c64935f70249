#include "UsbInfo.h"

std::ostream& operator<<(std::ostream& out, UsbInfo::State state)
{
    switch (state) {
    case UsbInfo::InvalidMetadata:
        return out << "InvalidMetadata";
    case UsbInfo::NoMetadata:
        return out << "NoMetadata";
    case UsbInfo::ValidMetadata:
        return out << "ValidMetadata";
    }
    return out;
}
