// Depths in metres written as III.CC, as the layer and penetration records carry them.
#pragma once

#include <string>

namespace zk {

// The whole metres cut to their last three digits with leading zeros, ".", and the
// centimetres as two digits. The centimetres are trunc((d - trunc(d) + 0.001) x 100), capped
// at 99: the 0.001 lets a depth held just below its written value (1.05 in single precision)
// keep its centimetres, and the cap keeps 1.999 at 001.99 instead of a third digit. Beyond
// the second decimal nothing is rounded. A negative depth keeps its minus sign inside the
// zero padding and the centimetres of its absolute value: -1.5 gives 0-1.50.
std::string DepthText(double depth);

// The III.CC field cannot hold the depth as it is: 1,000 m or deeper (its first digits are
// lost), or negative.
bool DepthCut(double depth);

}  // namespace zk
