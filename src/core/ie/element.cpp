#include "core/ie/element.h"

#include "core/base/format.h"
#include "core/base/translate.h"
#include "core/ie/names.h"

namespace skimlet {

bool TInformationElement::Load(uint8_t id, Bytes body, int32_t offset) {
  ID = id;
  Offset = offset;
  Length = static_cast<int32_t>(body.size());
  Data = body;
  return Parse();
}

bool TInformationElement::Parse() { return true; }

std::string TInformationElement::GetName() const {
  return std::string(KeyToValue(ElementNameTable(), ID, Translate("Unknown")));
}

void TInformationElement::AddToTree(TIETree& tree, TIETreeLine parent) const {
  TIETreeLine element = kNoLine;
  try {
    element = AddElementNode(tree, parent);
    AddIDAndLengthNodes(tree, element);
    AddHeaderNodes(tree, element);
    AddDetailNodes(tree, element);
  } catch (const std::exception&) {
    AddNode(tree, element != kNoLine ? element : parent, Translate("Could not parse element. Element is corrupted."),
            Offset, Length);
  }
}

TIETreeLine TInformationElement::AddElementNode(TIETree& tree, TIETreeLine parent) const {
  std::string_view name = KeyToValue(ElementNameTable(), ID, {});
  std::string text = name.empty() ? Format("%s (%.2d)", {Translate("Unknown"), ID}) : std::string(name);
  return AddNode(tree, parent, std::move(text), Offset, Length + 2);
}

void TInformationElement::AddIDAndLengthNodes(TIETree& tree, TIETreeLine element) const {
  AddNode(tree, element, Format(Translate("Element ID: %d (%s)"), {ID, GetName()}), Offset, 1);
  AddNode(tree, element, Format(Translate("Length: %d %s"), {Length, Translate(Length == 1 ? "octet" : "octets")}),
          Offset + 1, 1);
}

void TInformationElement::AddHeaderNodes(TIETree&, TIETreeLine) const {}

void TInformationElement::AddDetailNodes(TIETree& tree, TIETreeLine element) const {
  AddBodyNode(tree, element, Format(Translate("Data: %s"), {BytesToHex(Data)}), 0, Length);
  AddBodyNode(tree, element, Format(Translate("Text: %s"), {BytesToPrintable(Data)}), 0, Length);
}

TIETreeLine TInformationElement::AddNode(TIETree& tree, TIETreeLine parent, std::string text, int32_t offset,
                                         int32_t length) const {
  return tree.Add(parent, TIETreeData{std::move(text), offset, length});
}

void TInformationElement::AppendText(TIETree& tree, TIETreeLine line, std::string_view text) {
  if (tree.Valid(line)) tree.Data(line).Text += text;
}

}  // namespace skimlet
