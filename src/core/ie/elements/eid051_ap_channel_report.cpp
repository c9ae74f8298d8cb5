#include "core/ie/elements/eid051_ap_channel_report.h"

#include "core/base/format.h"
#include "core/base/translate.h"

namespace skimlet {

void TAPChannelReportElement::AddDetailNodes(TIETree& tree, TIETreeLine element) const {
  const std::string opClass = Translate("Operating Class"), channelList = Translate("Channel List"),
                    channel = Translate("Channel");
  uint8_t operatingClass = Byte(0);
  AddBodyNode(tree, element, Format("%s: %d", {opClass, operatingClass}), 0, 1);
  TIETreeLine list = AddBodyNode(tree, element, Format("%s:", {channelList}), 1, Length - 1);
  std::string joined;
  for (int32_t k = 1; k < Length; ++k) {
    uint8_t c = Byte(k);
    AddBodyNode(tree, list, Format("%s: %d", {channel, c}), k, 1);
    if (k > 1) joined += ", ";
    joined += std::to_string(c);
  }
  AppendText(tree, list, " " + joined);
  AppendText(tree, element, Format(": %s: %d, %s: %s", {opClass, operatingClass, channelList, joined}));
}

}  // namespace skimlet
