#pragma once

#include "../UiTest.h"
