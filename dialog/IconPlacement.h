// Where a minimised window draws its icon: centred in the client area, the
// odd pixel to the right and below. Signed arithmetic truncating toward zero,
// so an icon larger than the area starts left of or above it.
#pragma once

// The offset that centres `inner` pixels in `outer` pixels: (outer - inner + 1) / 2.
inline int CentredOffset(int outer, int inner)
{
    // Computed wide so that no pair of sizes can overflow.
    const long long offset = (static_cast<long long>(outer) - inner + 1) / 2;
    return static_cast<int>(offset);
}
