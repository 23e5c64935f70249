#pragma once
#include "BrelTest.h"
