#pragma once
// The bristle layouts of the flat, fan and filbert brushes: from the head's measured geometry and
// the fixed pattern (PatternGenerator), one Bristle record for each bristle a cell of the head
// keeps. Columns run across the head (x, from its left to its right mark) and slices along the
// tool (z, from its lower to its upper end); records come column by column, each column by
// ascending slice. A bristle's length is its base length less 10 (none below 10) plus a draw of
// 0 to 9, so the bristle ends are ragged; the fan's bristles also lean, each column at its own
// angle. The same geometry always gives the same records.
//
// A geometry no head can have (points that are not finite, an empty or huge range of columns or
// slices, a length that is negative, not a number or beyond any head) gives no bristles and says
// why, instead of converting such a value to an integer.

#include <string>
#include <vector>

#include "tools/ToolModelKernelRecords.h"
#include "utils/SceneKitUtil.h"

namespace tessivarium {

class DAEToolDescriptorWrapper;

// The points and radius of a measured head that the layouts read, in model cells.
struct BristleHead {
  SCNVector3 left, right, top, down, headTop, headLeft, headCenter;
  float headRadius = 0;
};

BristleHead bristleHeadOf(const DAEToolDescriptorWrapper& descriptor);

struct BristleLayout {
  std::vector<Bristle> bristles;
  // Why there are no bristles; empty for a head that could be laid.
  std::string problem;
};

// Base length left.y − headTop.y for every bristle; pattern PatternGenerator(4, 4).
BristleLayout layFlatBristles(const BristleHead& head);
// Base length left.y − headCenter.y plus the head circle's height over the column; pattern
// PatternGenerator().
BristleLayout layFilbertBristles(const BristleHead& head);
// Columns left.x + i for i below Int(right.x − left.x); each column's bristles reach towards its
// own pivot on the head circle, which sweeps the rim from one side to the other; a cell keeps a
// bristle when two keep draws in a row say so; pattern PatternGenerator(2, 6). A column rooted on
// its own pivot has no lean and stays bare.
BristleLayout layFanBristles(const BristleHead& head);

}  // namespace tessivarium
