#include "core/ie/registry.h"

#include <array>
#include <initializer_list>

#include "core/ie/elements/eid000_ssid.h"
#include "core/ie/elements/eid001_supported_rates.h"
#include "core/ie/elements/eid003_dsss.h"
#include "core/ie/elements/eid005_tim.h"
#include "core/ie/elements/eid011_bss_load.h"
#include "core/ie/elements/eid032_power.h"
#include "core/ie/elements/eid042_erp.h"
#include "core/ie/elements/eid007_country.h"
#include "core/ie/elements/eid051_ap_channel_report.h"
#include "core/ie/elements/eid052_neighbor_report.h"
#include "core/ie/elements/eid059_operating_classes.h"
#include "core/ie/elements/eid070_rm_enabled.h"
#include "core/ie/elements/eid074_obss_scan.h"
#include "core/ie/elements/eid107_interworking.h"
#include "core/ie/elements/eid108_adv_protocol.h"
#include "core/ie/elements/eid127_ext_capabilities.h"
#include "core/ie/elements/ext037_uora.h"
#include "core/ie/elements/ext038_mu_edca.h"
#include "core/ie/elements/ext039_spatial_reuse.h"
#include "core/ie/elements/vnd_atheros.h"
#include "core/ie/elements/vnd_broadcom.h"
#include "core/ie/elements/vnd_ralink.h"
#include "core/ie/elements/eid048_rsn.h"
#include "core/ie/elements/vnd_0050f2_01_wpa.h"
#include "core/ie/elements/vnd_0050f2_02_wmm.h"
#include "core/ie/elements/vnd_0050f2_04_wps.h"
#include "core/ie/elements/eid045_ht_capabilities.h"
#include "core/ie/elements/eid061_ht_operation.h"
#include "core/ie/elements/eid191_vht_capabilities.h"
#include "core/ie/elements/eid192_vht_operation.h"
#include "core/ie/elements/eid195_vht_tx_power_envelope.h"
#include "core/ie/elements/ext035_he_capabilities.h"
#include "core/ie/elements/ext036_he_operation.h"
#include "core/ie/elements/eid054_mobility_domain.h"
#include "core/ie/elements/eid201_reduced_neighbor_report.h"
#include "core/ie/elements/ext106_eht_operation.h"
#include "core/ie/elements/ext107_multi_link.h"
#include "core/ie/elements/ext108_eht_capabilities.h"

namespace skimlet {

namespace {

template <class T, class Base = TInformationElement>
constexpr ElementClass<Base> Make = {sizeof(T), alignof(T), [](void* memory) -> Base* {
                                       T* element = new (memory) T();
                                       element->SetClassTag(&TInformationElement::ClassTag<T>);
                                       return element;
                                     }};

struct ElementRow {
  uint8_t ID;
  ElementClass<TInformationElement> Create;
};
struct VendorRow {
  uint32_t OUI;
  int Subtype;  // -1: every subtype of the OUI
  ElementClass<TVendorSpecificInformationElement> Create;
};
struct ExtensionRow {
  uint8_t ExtensionID;
  ElementClass<TExtensionsInformationElement> Create;
};

// Element IDs 221 (vendor) and 255 (extension) are dispatched by the two tables after this one.
constexpr std::initializer_list<ElementRow> kElementClasses = {
    {0, Make<TSSIDElement>},
    {1, Make<TSupportedRatesElement>},
    {3, Make<TDSSSParameterSetElement>},
    {5, Make<TTIMElement>},
    {11, Make<TBSSLoadElement>},
    {32, Make<TPowerConstraintElement>},
    {33, Make<TPowerCapabilityElement>},
    {34, Make<TTPCRequestElement>},
    {35, Make<TTPCReportElement>},
    {42, Make<TERPElement>},
    {47, Make<TERPElement>},
    {48, Make<TRSNElement>},
    {45, Make<THTCapabilitiesElement>},
    {61, Make<THTOperationElement>},
    {191, Make<TVHTCapabilitiesElement>},
    {192, Make<TVHTOperationElement>},
    {195, Make<TVHTTransmitPowerEnvelopeElement>},
    {50, Make<TExtSupportedRatesElement>},
    {7, Make<TCountryElement>},
    {51, Make<TAPChannelReportElement>},
    {52, Make<TNeighborReportElement>},
    {59, Make<TSupportedOperatingClassesElement>},
    {70, Make<TRMEnabledCapabiliesElement>},
    {74, Make<TOverlappingBSSScanParametersElement>},
    {107, Make<TInterworkingElement>},
    {108, Make<TAdvertisementProtocolElement>},
    {127, Make<TExtendedCapabilitiesElement>},
    {54, Make<TMobilityDomainElement>},
    {201, Make<TReducedNeighborReportElement>},
};

constexpr std::initializer_list<VendorRow> kVendorClasses = {
    {0x00904C, 0x33, Make<TBroadcomHTCapabilitiesInfoElement, TVendorSpecificInformationElement>},
    {0x00904C, 0x34, Make<TBroadcomHTAdditionalCapabilitiesElement, TVendorSpecificInformationElement>},
    {0x001018, 2, Make<TBroadcomInfoElement, TVendorSpecificInformationElement>},
    {0x00037F, 1, Make<TAtherosAdvancedCapabilityElement, TVendorSpecificInformationElement>},
    {0x00037F, 3, Make<TAtherosExtendedRangeElement, TVendorSpecificInformationElement>},
    {0x000C43, -1, Make<TRalinkInformationElement, TVendorSpecificInformationElement>},
    {0x0050F2, 1, Make<TWPAElement, TVendorSpecificInformationElement>},
    {0x0050F2, 2, Make<TWMEElement, TVendorSpecificInformationElement>},
    {0x0050F2, 4, Make<TWPSElement, TVendorSpecificInformationElement>},
};

constexpr std::initializer_list<ExtensionRow> kExtensionClasses = {
    {35, Make<THECapabilitiesExtensionsInformationElement, TExtensionsInformationElement>},
    {36, Make<THEOperationExtensionsInformationElement, TExtensionsInformationElement>},
    {37, Make<TUORAParamsExtensionsInformationElement, TExtensionsInformationElement>},
    {38, Make<THEMUEDCAParamsExtensionsInformationElement, TExtensionsInformationElement>},
    {39, Make<TSpatialReuseExtensionsInformationElement, TExtensionsInformationElement>},
    {106, Make<TEHTOperationExtensionsInformationElement, TExtensionsInformationElement>},
    {107, Make<TMultiLinkExtensionsInformationElement, TExtensionsInformationElement>},
    {108, Make<TEHTCapabilitiesExtensionsInformationElement, TExtensionsInformationElement>},
};

}  // namespace

const ElementClass<TInformationElement>& PlainElementClass() {
  static constexpr auto kPlain = Make<TInformationElement>;
  return kPlain;
}

const ElementClass<TInformationElement>& ElementClassOf(uint8_t id) {
  static const auto byID = [] {
    std::array<ElementClass<TInformationElement>, 256> table{};
    table.fill(Make<TInformationElement>);
    // The first row of an ID wins, as in every table of this subsystem.
    for (auto it = std::rbegin(kElementClasses); it != std::rend(kElementClasses); ++it) table[it->ID] = it->Create;
    return table;
  }();
  return byID[id];
}

const ElementClass<TVendorSpecificInformationElement>& VendorClassOf(uint32_t oui, uint8_t subtype) {
  for (const VendorRow& row : kVendorClasses)
    if (row.OUI == oui && (row.Subtype < 0 || row.Subtype == subtype)) return row.Create;
  static constexpr auto kPlain = Make<TVendorSpecificInformationElement, TVendorSpecificInformationElement>;
  return kPlain;
}

const ElementClass<TExtensionsInformationElement>& ExtensionClassOf(uint8_t extensionID) {
  static const auto byID = [] {
    std::array<ElementClass<TExtensionsInformationElement>, 256> table{};
    table.fill(Make<TExtensionsInformationElement, TExtensionsInformationElement>);
    for (auto it = std::rbegin(kExtensionClasses); it != std::rend(kExtensionClasses); ++it)
      table[it->ExtensionID] = it->Create;
    return table;
  }();
  return byID[extensionID];
}

}  // namespace skimlet
