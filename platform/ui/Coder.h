#pragma once
// An archive reader, for the constructors that restore a view from an archive. Views are never
// archived here, so it carries nothing; the system's archive constructors stop fatally or yield no
// view, as each of them says.

namespace ui {

class Coder {};

}  // namespace ui
