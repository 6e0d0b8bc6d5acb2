#include "layers/GridLayer.h"

const CRuntimeClass CGridLayer::kClass = {"CGridLayer", 1, true, &CGridLayer::CreateObject};
