#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <string>

#include "runtime/values/decimal.h"
#include "runtime/values/number_picture.h"
#include "runtime/values/picture.h"
#include "tests/runtime/values/test_values.h"

namespace ledora::runtime {
namespace {

constexpr uint32_t kSeed = 20261207;
constexpr int kIterations = 100000;

const char* const kSeedPictures[] = {
    "@n-13.2", "@n-13",  "@n_6",        "n4~%~",          "@N~$~12.2", "@N-*12.2", "@N012.`2",
    "@N12V2",  "@N12.0", "@N(10.2)B",   "@N12-.2-",       "@s20",      "@d6",      "@D06.B",
    "@t4_",    "@T3",    "@pPage <<#p", "@P###-##-####P", "@D2<10",    "@N12..2"};

class Fuzzer {
 public:
  int Int(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }

  std::string Mutated(std::string text) {
    static const std::string alphabet = "@NnSsPpDdTt0123456789-_.*`Vv~B()<#$% aZ\xE9";
    int edits = Int(1, 3);
    for (int i = 0; i < edits; ++i) {
      int op = Int(0, 2);
      size_t pos = text.empty() ? 0 : Int(0, static_cast<int>(text.size()) - 1);
      char c = alphabet[Int(0, static_cast<int>(alphabet.size()) - 1)];
      if (op == 0 || text.empty()) {
        text.insert(text.begin() + pos, c);
      } else if (op == 1) {
        text[pos] = c;
      } else {
        text.erase(pos, 1);
      }
    }
    return text;
  }

  std::string PictureText() {
    std::string seed = kSeedPictures[Int(0, std::size(kSeedPictures) - 1)];
    return Int(0, 3) == 0 ? seed : Mutated(seed);
  }

  Decimal Value() {
    __int128 units =
        std::uniform_int_distribution<int64_t>(-1'000'000'000'000, 1'000'000'000'000)(rng_);
    if (Int(0, 4) == 0) units *= units;
    return Decimal::FromUnits(units, Int(0, 12));
  }

  std::string Typed() {
    static const std::string alphabet = "0123456789-.,()$% *#`_Page<";
    std::string text;
    int n = Int(0, 16);
    for (int i = 0; i < n; ++i) text.push_back(alphabet[Int(0, alphabet.size() - 1)]);
    return text;
  }

  std::mt19937& rng() { return rng_; }

 private:
  std::mt19937 rng_{kSeed};
};

bool PlainLiterals(const NumberFormat& f) {
  for (const std::string* s : {&f.prefix, &f.suffix}) {
    if (s->find_first_of("0123456789-().,`_* #") != std::string::npos) return false;
  }
  return true;
}

// Whatever a number picture shows, it shows in exactly its width, and what
// it shows reads back as the value it was given.
void CheckNumberRoundTrip(const NumberPicture& picture, const Decimal& value,
                          const std::string& text) {
  std::string shown = picture.Format(value);
  ASSERT_EQ(static_cast<int>(shown.size()), picture.width()) << shown;
  if (shown.find('#') != std::string::npos || !PlainLiterals(picture.format())) return;
  Decimal back;
  ASSERT_TRUE(picture.Deformat(shown, &back)) << "'" << shown << "'";
  EXPECT_EQ(back, value.Rescaled(picture.format().places)) << "'" << shown << "' " << text;
}

TEST(PictureFuzzTest, RandomPicturesFormatAndDeformatSafely) {
  Fuzzer fuzz;
  int compiled = 0;
  for (int i = 0; i < kIterations; ++i) {
    std::string text = fuzz.PictureText();
    std::string error;
    std::unique_ptr<Picture> picture = Picture::Compile(text, &error);
    if (!picture) {
      EXPECT_FALSE(error.empty()) << text;
      continue;
    }
    ++compiled;
    Decimal value = fuzz.Value();
    std::string shown = picture->Format(value);
    if (picture->kind() == PictureNumber) {
      CheckNumberRoundTrip(static_cast<const NumberPicture&>(*picture), value, text);
    }
    Decimal back;
    std::string textBack;
    picture->Deformat(shown, &back);
    picture->Deformat(fuzz.Typed(), &back);
    picture->Deformat(fuzz.Typed(), &textBack);
    picture->Format(std::string_view(fuzz.Typed()));
  }
  EXPECT_GT(compiled, kIterations / 4);
}

TEST(PictureFuzzTest, PackedBytesUnpackAndRepackToTheSameValue) {
  Fuzzer fuzz;
  for (int i = 0; i < kIterations; ++i) {
    int size = fuzz.Int(1, 16);
    int places = fuzz.Int(0, std::min(2 * size - 1, Decimal::kMaxPlaces));
    uint8_t bytes[16];
    for (int b = 0; b < size; ++b) {
      bytes[b] = static_cast<uint8_t>(fuzz.Int(0, 3) == 0 ? fuzz.Int(0, 255)
                                                          : fuzz.Int(0, 9) * 16 + fuzz.Int(0, 9));
    }
    Decimal value;
    if (!TryUnpackDecimal(bytes, size, places, &value)) {
      EXPECT_TRUE(UnpackDecimal(bytes, size, places).IsZero());
      continue;
    }
    uint8_t again[16];
    ASSERT_TRUE(PackDecimal(value, again, size, places)) << value.ToString();
    EXPECT_EQ(UnpackDecimal(again, size, places), value);
  }
}

TEST(PictureFuzzTest, DecimalTextRoundTripsAndArithmeticUndoes) {
  Fuzzer fuzz;
  for (int i = 0; i < kIterations; ++i) {
    Decimal a = fuzz.Value(), b = fuzz.Value();
    std::optional<Decimal> parsed = Decimal::Parse(a.ToString());
    ASSERT_TRUE(parsed.has_value()) << a.ToString();
    EXPECT_EQ(*parsed, a);
    EXPECT_EQ((a + b) - b, a) << a.ToString() << " " << b.ToString();
    Decimal product = a * b;
    // A product beyond 38 digits gives up places, and the quotient with it.
    double magnitude = static_cast<double>(a.units()) * static_cast<double>(b.units());
    if (!b.IsZero() && product.places() == a.places() + b.places() && std::fabs(magnitude) < 1e37) {
      EXPECT_EQ(product / b, a) << a.ToString() << " " << b.ToString();
    }
  }
}

}  // namespace
}  // namespace ledora::runtime
