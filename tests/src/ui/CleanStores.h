#pragma once

#include "MapStorage.h"
#include "UsbStorage.h"

// Empties the process-wide catalogue and stick registry before and after a
// test, so none sees what another left behind.
struct CleanStores {
    CleanStores() { Clear(); }
    ~CleanStores() { Clear(); }
    static void Clear()
    {
        MapStorage::Instance().Clear();
        UsbStorage::Instance().Clear();
    }
};
