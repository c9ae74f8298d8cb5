// Which class decodes which element: one table by element ID, one by vendor OUI and subtype, one by
// extension ID. A key without a row is decoded by the plain class of its kind.
#pragma once

#include <cstdint>
#include <memory>

#include "core/ie/element.h"
#include "core/ie/extension.h"
#include "core/ie/vendor.h"

namespace skimlet {

using ElementFactory = std::unique_ptr<TInformationElement> (*)();
using VendorElementFactory = std::unique_ptr<TVendorSpecificInformationElement> (*)();
using ExtensionElementFactory = std::unique_ptr<TExtensionsInformationElement> (*)();

// The class of a non-vendor, non-extension element ID (plain TInformationElement when it has none).
ElementFactory ElementClassOf(uint8_t id);
// The class of a vendor element (plain TVendorSpecificInformationElement when it has none).
VendorElementFactory VendorClassOf(uint32_t oui, uint8_t subtype);
// The class of an extension element (plain TExtensionsInformationElement when it has none).
ExtensionElementFactory ExtensionClassOf(uint8_t extensionID);

}  // namespace skimlet
