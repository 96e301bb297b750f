#pragma once

// The gateway's PROFINET data array: the most bytes it exchanges with the
// controller in each direction, and the bytes the variables are placed in.
inline constexpr int Device_Data_Array_Size = 1438;
