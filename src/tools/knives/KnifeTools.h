#pragma once
// The six painting knives (AbstractKnifeTool): each is its tool type and, through it, its scene.
//
// Constructing a tool records its state only: the application manager makes some tools while it
// starts, before it exists, so no constructor may reach it.

#include "tools/knives/AbstractKnifeTool.h"

namespace tessivarium {

class Knife1Tool final : public AbstractKnifeTool {
 public:
  Knife1Tool() : AbstractKnifeTool(ToolType::knife1) {}
};

class Knife2Tool final : public AbstractKnifeTool {
 public:
  Knife2Tool() : AbstractKnifeTool(ToolType::knife2) {}
};

class Knife3Tool final : public AbstractKnifeTool {
 public:
  Knife3Tool() : AbstractKnifeTool(ToolType::knife3) {}
};

class Knife4Tool final : public AbstractKnifeTool {
 public:
  Knife4Tool() : AbstractKnifeTool(ToolType::knife4) {}
};

class Knife5Tool final : public AbstractKnifeTool {
 public:
  Knife5Tool() : AbstractKnifeTool(ToolType::knife5) {}
};

class Knife6Tool final : public AbstractKnifeTool {
 public:
  Knife6Tool() : AbstractKnifeTool(ToolType::knife6) {}
};

}  // namespace tessivarium
