#pragma once

#include "States/Common.h"

#include <boost/statechart/state.hpp>

namespace States {

// A download or a downloaded map is being removed.
class CancelDownload : public boost::statechart::state<CancelDownload, Common> {
public:
    explicit CancelDownload(my_context context);
};

} // namespace States
