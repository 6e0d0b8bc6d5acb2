#pragma once

#include "layers/Layer.h"

// An older layer class that map files may still name. It behaves as a
// plain layer of its stored type and is written back under its own name.
class CGridLayer : public CLayer {
public:
    static const CRuntimeClass kClass;
    static CObject* CreateObject() { return new CGridLayer; }

    using CLayer::CLayer;
    const CRuntimeClass* GetRuntimeClass() const override { return &kClass; }
};
