#include "text/catalogue.h"

namespace holsterkeys {

std::string uncompressed(const Catalogue& catalogue) {
  std::string text;
  text.reserve(catalogue.size);
  const unsigned char* in = catalogue.compressed;
  const unsigned char* const end = in + catalogue.compressed_size;
  while (in < end) {
    const unsigned token = *in++;
    if (token < 0x80) {
      const std::size_t length = token + 1;
      if (static_cast<std::size_t>(end - in) < length) break;
      text.append(reinterpret_cast<const char*>(in), length);
      in += length;
      continue;
    }
    if (end - in < 2) break;
    const std::size_t back = in[0] | static_cast<std::size_t>(in[1]) << 8;
    in += 2;
    if (back == 0 || back > text.size()) break;
    // A repeat may run into what it repeats, so byte by byte.
    for (std::size_t length = (token & 0x7F) + 3; length > 0; --length) {
      text.push_back(text[text.size() - back]);
    }
  }
  return text;
}

std::size_t plural_form(PluralRule rule, std::size_t count) {
  const std::size_t ones = count % 10, tens = count % 100;
  const bool few = ones >= 2 && ones <= 4 && (tens < 10 || tens >= 20);
  switch (rule) {
    case PluralRule::kOneOther:
      return count != 1;
    case PluralRule::kOneUpOther:
      return count > 1;
    case PluralRule::kSlavicEastern:
      return ones == 1 && tens != 11 ? 0 : few ? 1 : 2;
    case PluralRule::kPolish:
      return count == 1 ? 0 : few ? 1 : 2;
  }
  return 0;
}

}  // namespace holsterkeys
