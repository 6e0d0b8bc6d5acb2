#pragma once

#include <initializer_list>
#include <string>
#include <vector>

class CDrelDoc;
class CLayer;

// The document's layers of the types (group entries left out), in
// document order: what the layer combos of the operations' dialogs list.
std::vector<CLayer*> LayersOfTypes(const CDrelDoc& document, std::initializer_list<int> types);

// The entry of the layer of that name; -1 for none or an empty name.
int FindLayerNamed(const std::vector<CLayer*>& layers, const std::string& name);
