// Supported Rates (ID 1) and Extended Supported Rates (ID 50).
#pragma once

#include "core/ie/element.h"

namespace skimlet {

class TSupportedRatesElementBase : public TInformationElement {
 public:
  TDoubleDynamicArray Rates;  // Mbps, one per non-zero body byte

  // Some body byte is a DSSS rate (1, 2, 5.5, 11 Mbps), basic-rate flag ignored.
  bool HasDSSSRates() const;
  // Some body byte is an OFDM rate (6 to 54 Mbps), basic-rate flag ignored.
  bool HasOFDMRates() const;

  // Rejects a body without a non-zero byte.
  bool Parse() override;
  void AddDetailNodes(TIETree& tree, TIETreeLine element) const override;

 protected:
  // The lengths whose rates are shown; any length by default.
  virtual TLengthRule BodyLengthRule() const { return TLengthRule::AtLeast(0); }
};

class TSupportedRatesElement : public TSupportedRatesElementBase {
 protected:
  TLengthRule BodyLengthRule() const override;
};

class TExtSupportedRatesElement : public TSupportedRatesElementBase {};

}  // namespace skimlet
