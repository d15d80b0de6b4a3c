#include "KRNDictionary.h"

#include "KRNMetaClass.h"

#include <cstring>
#include <deque>

namespace {

// The two lists of the dictionary. Built on first use, so registrations made during any
// library's static initialisation find them; deques keep the records at fixed addresses.
struct Dictionary {
  std::deque<KRNDictionaryEntry> entries;
  std::deque<KRNInterfaceRecord> interfaces;
};

Dictionary& TheDictionary() {
  static Dictionary dictionary;
  return dictionary;
}

const char* OrEmpty(const char* text) { return text ? text : ""; }

// list[index], or null outside the list.
template <class Record>
const Record* At(const std::deque<Record>& list, int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= list.size()) return nullptr;
  return &list[static_cast<std::size_t>(index)];
}

}  // namespace

void AddDictionary(const IID& interfaceId, const CLSID& classId, const char* className, const char* entryName,
                   const char* libraryName, KRNMetaClass* metaClass, const char* implementationName,
                   KRNDictionaryCreateFunction createFunction, int entryKind, int loadFlags, int version, void* data) {
  TheDictionary().entries.push_back(KRNDictionaryEntry{interfaceId, classId, OrEmpty(className), OrEmpty(entryName),
                                                       OrEmpty(libraryName), metaClass, OrEmpty(implementationName),
                                                       createFunction, entryKind, loadFlags, version, data});
}

KRNFillDictionary::KRNFillDictionary(const IID& interfaceId, const CLSID& classId, KRNMetaClass* metaClass,
                                     void* data) {
  TheDictionary().interfaces.push_back(KRNInterfaceRecord{interfaceId, classId, metaClass, data});
}

int KRNInterfaceDictionary::GetEntryCount() { return static_cast<int>(TheDictionary().entries.size()); }

const KRNDictionaryEntry* KRNInterfaceDictionary::GetEntry(int index) { return At(TheDictionary().entries, index); }

const KRNDictionaryEntry* KRNInterfaceDictionary::FindEntry(const IID& interfaceId, const char* entryName) {
  for (const KRNDictionaryEntry& entry : TheDictionary().entries)
    if (entry.interfaceId == interfaceId && (entryName == nullptr || entry.entryName == entryName)) return &entry;
  return nullptr;
}

int KRNInterfaceDictionary::GetInterfaceCount() { return static_cast<int>(TheDictionary().interfaces.size()); }

const KRNInterfaceRecord* KRNInterfaceDictionary::GetInterface(int index) {
  return At(TheDictionary().interfaces, index);
}

KRNMetaClass* KRNInterfaceDictionary::FindInterface(const IID& interfaceId) {
  for (const KRNInterfaceRecord& record : TheDictionary().interfaces)
    if (record.interfaceId == interfaceId) return record.metaClass;
  return nullptr;
}

KRNMetaClass* KRNInterfaceDictionary::FindInterface(const char* className) {
  if (className == nullptr) return nullptr;
  for (const KRNInterfaceRecord& record : TheDictionary().interfaces)
    if (record.metaClass != nullptr && std::strcmp(record.metaClass->GetClassName(), className) == 0)
      return record.metaClass;
  return nullptr;
}
