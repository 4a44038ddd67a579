// ICU's code is linked into the program (see CMakeLists.txt); its data stays in the system's
// shared library, opened here and handed to ICU before anything asks it for data. Linking that
// library would instead copy all 30 MB of it into the process at every start: the archives'
// code addresses the data directly, so the linker gives the program a copy to address.
#include <dlfcn.h>
#include <unicode/udata.h>
#include <unicode/utypes.h>
#include <unicode/uvernum.h>

#include <cstdint>

#define KORVEL_TEXT(x) #x
#define KORVEL_NAME(x) KORVEL_TEXT(x)

extern "C" {

// The table ICU's code names: a common-data package with nothing in it, so that ICU, should it
// look past the package handed over below, finds nothing rather than failing to link.
struct EmptyCommonData {
  std::uint16_t headerSize;
  std::uint8_t magic1, magic2;
  UDataInfo info;
  std::uint8_t padding[8];
  std::uint32_t count;
};

U_EXPORT extern const EmptyCommonData U_ICUDATA_ENTRY_POINT;
alignas(16) const EmptyCommonData U_ICUDATA_ENTRY_POINT = {
    32, 0xda, 0x27,
    {sizeof(UDataInfo), 0, U_IS_BIG_ENDIAN, U_CHARSET_FAMILY, U_SIZEOF_UCHAR, 0,
     {0x43, 0x6d, 0x6e, 0x44},  // "CmnD"
     {1, 0, 0, 0},
     {0, 0, 0, 0}},
    {},
    0};

}  // extern "C"

namespace {

// Before main, and so before any ICU call. Without the library ICU has no data: dates then
// read as they do for an unknown locale, and nothing else depends on it.
const bool icuData = []() -> bool {
  void* library = dlopen("libicudata.so." U_ICU_VERSION_SHORT, RTLD_NOW | RTLD_LOCAL);
  const void* data = library ? dlsym(library, KORVEL_NAME(U_ICUDATA_ENTRY_POINT)) : nullptr;
  if (data == nullptr) return false;
  UErrorCode status = U_ZERO_ERROR;
  udata_setCommonData(data, &status);
  return U_SUCCESS(status);
}();

}  // namespace
