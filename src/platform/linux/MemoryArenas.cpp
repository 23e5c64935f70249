#include "MemoryArenas.h"

#include <malloc.h>

void LimitMemoryArenas()
{
    mallopt(M_ARENA_MAX, 2);
}
