#include "tools/brushes/AbstractDAEThickBrushToolViewer.h"

#include "foundation/Bundle.h"
#include "graphics/Image.h"
#include "scene/Geometry.h"
#include "scene/Material.h"
#include "scene/Node.h"

namespace tessivarium {

void AbstractDAEThickBrushToolViewer::loads() {
  AbstractDAEThickToolViewer::loads();
  const auto& content = toolContentNode();
  const auto brush = content ? content->childNode("Brush", true) : nullptr;
  if (!brush) return;
  const auto path = foundation::Bundle::framework().pathForResource("BrushBristles", "png");
  if (!path) return;
  const auto image = graphics::Image::fromFile(*path);
  if (!image) return;
  const auto material = scene::Material::make();
  material->diffuse().setContents(image);
  material->setShininess(0.15f);
  if (const auto& geometry = brush->geometry()) geometry->setMaterials({material});
}

}  // namespace tessivarium
