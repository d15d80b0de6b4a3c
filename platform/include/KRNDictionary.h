// The interface dictionary of the platform's component model: the process-wide record of what
// the loaded libraries declare. Libraries fill it during their static initialisation:
//   AddDictionary       adds one entry (for instance the "MetaObject" entry of an interface);
//   KRNFillDictionary   a static object whose construction registers an interface with its
//                       meta-class.
// KRNInterfaceDictionary reads both lists back, in registration order.
//
// Part of our stand-in for the platform's component model (see KRNBaseUnknown.h). Our choices:
// registrations are never undone (unloading a library leaves its records, which hold copies of
// every name and identifier); nothing is de-duplicated (a lookup answers the first match);
// the dictionary takes no locks, since libraries register during their loading, one at a time.
#ifndef KRNDictionary_h
#define KRNDictionary_h

#include "KRNGUID.h"
#include "KRNPlatformExport.h"

#include <string>

class KRNMetaClass;
class KRNBaseUnknown;

// A factory of the component an entry describes.
using KRNDictionaryCreateFunction = KRNBaseUnknown* (*)();

// One AddDictionary entry, as registered.
struct KRN_API KRNDictionaryEntry {
  IID interfaceId;
  CLSID classId;  // class of the described object
  std::string className;
  std::string entryName;    // e.g. "MetaObject"
  std::string libraryName;  // library to load on demand; "" for the registering one
  KRNMetaClass* metaClass;
  std::string implementationName;  // implementing class, "" when none is named
  KRNDictionaryCreateFunction createFunction;
  int entryKind;  // 1: a meta-object entry
  int loadFlags;  // 0: nothing to load on demand
  int version;    // format of the entry; 2 is the current one
  void* data;
};

// One KRNFillDictionary registration.
struct KRN_API KRNInterfaceRecord {
  IID interfaceId;
  CLSID classId;
  KRNMetaClass* metaClass;
  void* data;
};

// Appends one entry to the dictionary. Null names are taken as "".
KRN_API void AddDictionary(const IID& interfaceId, const CLSID& classId, const char* className, const char* entryName,
                           const char* libraryName, KRNMetaClass* metaClass, const char* implementationName,
                           KRNDictionaryCreateFunction createFunction, int entryKind, int loadFlags, int version,
                           void* data);

// Registers an interface when constructed. Libraries define one static object per interface;
// the object holds nothing and is trivially destructible, so no destruction is registered.
class KRN_API KRNFillDictionary {
public:
  KRNFillDictionary(const IID& interfaceId, const CLSID& classId, KRNMetaClass* metaClass, void* data);
};

// Read access to the dictionary. Indices run from 0 in registration order; an index outside
// the list gives null.
class KRN_API KRNInterfaceDictionary {
public:
  static int GetEntryCount();
  static const KRNDictionaryEntry* GetEntry(int index);
  // The first entry with this interface identifier and entry name (null name: any), or null.
  static const KRNDictionaryEntry* FindEntry(const IID& interfaceId, const char* entryName);

  static int GetInterfaceCount();
  static const KRNInterfaceRecord* GetInterface(int index);
  // Meta-class of the first registration of the interface, or null.
  static KRNMetaClass* FindInterface(const IID& interfaceId);
  // Meta-class of the first registered interface of that class name, or null.
  static KRNMetaClass* FindInterface(const char* className);
};

#endif
