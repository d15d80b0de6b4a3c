// KRNRawCollint: a growable collection of ints indexed from 1 (see KRNRawColl).
#ifndef KRNRawCollint_h
#define KRNRawCollint_h

#include "KRNPlatformExport.h"
#include "KRNRawColl.h"

class KRN_API KRNRawCollint : public KRNRawColl<int> {
public:
  KRNRawCollint() : KRNRawColl<int>("KRNRawCollint") {}
};

#endif
