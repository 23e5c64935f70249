#pragma once

// Keeps the C allocator to two arenas. A download hands its buffers from
// Qt's network thread to the writer thread, which frees them; with an arena
// per thread the freed memory stays scattered over the arenas and the
// process's resident size grows to twice what it holds.
void LimitMemoryArenas();
