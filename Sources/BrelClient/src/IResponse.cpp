#include "IResponse.h"

namespace Brel {

std::ostream& operator<<(std::ostream& out, IResponse::Result result)
{
    switch (result) {
    case IResponse::Ok:
        return out << "Ok";
    case IResponse::ContentError:
        return out << "ContentError";
    case IResponse::ServerError:
        return out << "ServerError";
    case IResponse::NoConnection:
        return out << "NoConnection";
    case IResponse::IOError:
        return out << "IOError";
    }
    return out;
}

} // namespace Brel
