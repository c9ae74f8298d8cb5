// Power Constraint (ID 32), Power Capability (33), TPC Request (34) and TPC Report (35).
#pragma once

#include "core/ie/element.h"

namespace skimlet {

class TPowerConstraintElement : public TInformationElement {
 public:
  void AddDetailNodes(TIETree& tree, TIETreeLine element) const override;
};

class TPowerCapabilityElement : public TInformationElement {
 public:
  void AddDetailNodes(TIETree& tree, TIETreeLine element) const override;
};

class TTPCRequestElement : public TInformationElement {
 public:
  void AddDetailNodes(TIETree& tree, TIETreeLine element) const override;
};

class TTPCReportElement : public TInformationElement {
 public:
  void AddDetailNodes(TIETree& tree, TIETreeLine element) const override;
};

}  // namespace skimlet
