#include "menum.h"

#include "mutility.h"

#include <QPen>

// The folder helpers number folders and locations themselves; both numberings
// are stored in settings and must stay one.
static_assert(int(MEnum::BrushDir) == int(MUtility::BrushDir) && int(MEnum::CacheDir) == int(MUtility::CacheDir)
                  && int(MEnum::ModelDir) == int(MUtility::ModelDir) && int(MEnum::PaperDir) == int(MUtility::PaperDir)
                  && int(MEnum::ShaderDir) == int(MUtility::ShaderDir) && int(MEnum::ShapeDir) == int(MUtility::ShapeDir)
                  && int(MEnum::SnippetDir) == int(MUtility::SnippetDir) && int(MEnum::SwatchDir) == int(MUtility::SwatchDir)
                  && int(MEnum::TemplateDir) == int(MUtility::TemplateDir)
                  && int(MEnum::TextureDir) == int(MUtility::TextureDir),
              "folder kinds differ");
static_assert(int(MEnum::SystemPath) == int(MUtility::SystemPath) && int(MEnum::UserPath) == int(MUtility::UserPath),
              "folder locations differ");
static_assert(int(MEnum::SquareCap) == int(Qt::SquareCap) && int(MEnum::RoundCap) == int(Qt::RoundCap)
                  && int(MEnum::BevelJoin) == int(Qt::BevelJoin) && int(MEnum::RoundJoin) == int(Qt::RoundJoin),
              "pen styles differ");
