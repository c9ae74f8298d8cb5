// Which class decodes which element: one table by element ID, one by vendor OUI and subtype, one by
// extension ID. A key without a row is decoded by the plain class of its kind.
#pragma once

#include <cstdint>
#include <cstddef>
#include <new>

#include "core/ie/element.h"
#include "core/ie/extension.h"
#include "core/ie/vendor.h"

namespace skimlet {

// How to make an object of one element class: its size and alignment, and a constructor that builds it in
// memory of that size (the container keeps its elements in one reusable block).
template <class Base>
struct ElementClass {
  size_t Size;
  size_t Align;
  Base* (*Construct)(void* memory);
};

// The plain class: elements without a class of their own, and those their class could not decode.
const ElementClass<TInformationElement>& PlainElementClass();
// The class of a non-vendor, non-extension element ID (plain TInformationElement when it has none).
const ElementClass<TInformationElement>& ElementClassOf(uint8_t id);
// The class of a vendor element (plain TVendorSpecificInformationElement when it has none).
const ElementClass<TVendorSpecificInformationElement>& VendorClassOf(uint32_t oui, uint8_t subtype);
// The class of an extension element (plain TExtensionsInformationElement when it has none).
const ElementClass<TExtensionsInformationElement>& ExtensionClassOf(uint8_t extensionID);

}  // namespace skimlet
