// How the process's heap gives memory back to the system.
#pragma once

// Large blocks (textures, sound buffers, whole files read from the archive) are
// always mapped on their own and returned to the system when freed. By default
// the C library raises that size limit the first time such a block is freed, so
// after the first reload the same blocks come from the heap, which never shrinks:
// resident memory rose by about 28 MB at the first F1 and stayed there.
void FixLargeAllocationThreshold();
