#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <span>
#include <string_view>
#include <vector>

#include "support/bits.h"
#include "text/portable_math.h"

namespace matcalc {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

using testing::Bits;
using testing::FromBits;

// Equal bits (so +0 and -0 differ), or both NaN.
::testing::AssertionResult SameDouble(double expected, double actual) {
  if ((std::isnan(expected) && std::isnan(actual)) || Bits(expected) == Bits(actual)) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure()
         << std::hexfloat << "expected " << expected << ", got " << actual;
}

double Apply(std::string_view function, double x) {
  if (function == "sin") return PortableSin(x);
  if (function == "cos") return PortableCos(x);
  if (function == "tan") return PortableTan(x);
  if (function == "atan") return PortableAtan(x);
  if (function == "exp") return PortableExp(x);
  if (function == "log") return PortableLog(x);
  ADD_FAILURE() << "no function " << function;
  return 0;
}

struct BitsRow {
  const char* function;
  std::uint64_t x;
  std::uint64_t expected;
};

// Written once from the functions themselves, and every result checked then
// against a 500-bit evaluation: each is the correctly rounded value. The rows
// run on every platform the program is built for, so they show that the
// platforms agree bit for bit: tiny, ordinary, large and huge arguments,
// arguments near multiples of pi/2 (0x1.6ac5b262ca1ffp+849 is the double
// nearest one of all), the overflow and underflow edges of exp, subnormal
// results and logarithms of the extremes.
constexpr BitsRow kGolden[] = {
    {"sin", 0x01A56E1FC2F8F359ull, 0x01A56E1FC2F8F359ull},
    {"sin", 0x3E40000000000000ull, 0x3E40000000000000ull},
    {"sin", 0xBE3FFFFFFFFFFFFFull, 0xBE3FFFFFFFFFFFFFull},
    {"sin", 0x3FE0000000000000ull, 0x3FDEAEE8744B05F0ull},
    {"sin", 0x3FF0000000000000ull, 0x3FEAED548F090CEEull},
    {"sin", 0x4000000000000000ull, 0x3FED18F6EAD1B446ull},
    {"sin", 0x4008000000000000ull, 0x3FC210386DB6D55Bull},
    {"sin", 0xC008000000000000ull, 0xBFC210386DB6D55Bull},
    {"sin", 0x3FE921FB54442D18ull, 0x3FE6A09E667F3BCCull},
    {"sin", 0x3FF921FB54442D18ull, 0x3FF0000000000000ull},
    {"sin", 0x400921FB54442D18ull, 0x3CA1A62633145C07ull},
    {"sin", 0x4024000000000000ull, 0xBFE1689EF5F34F52ull},
    {"sin", 0x4059000000000000ull, 0xBFE03425B78C4DB8ull},
    {"sin", 0x412E848000000000ull, 0xBFD6664B2568D867ull},
    {"sin", 0xC202A05F20000000ull, 0x3FDF334C7896A4E3ull},
    {"sin", 0x4480F0CF064DD592ull, 0xBFEB453AB76BF397ull},
    {"sin", 0x54B249AD2594C37Dull, 0xBFD85C5E5B929359ull},
    {"sin", 0x7E37E43C8800759Cull, 0xBFEA2C16B010E385ull},
    {"sin", 0x7FEFFFFFFFFFFFFFull, 0x3F7452FC98B34E97ull},
    {"sin", 0x7FE0000000000000ull, 0x3FE205248CBDB760ull},
    {"sin", 0x7506AC5B262CA1FFull, 0x3FF0000000000000ull},
    {"sin", 0x400921FB54442D11ull, 0x3CED1A62633145C0ull},
    {"sin", 0x3FF921FB54442D28ull, 0x3FF0000000000000ull},
    {"sin", 0x4076300000000000ull, 0xBEFF9BD0307D1DE3ull},
    {"sin", 0x40F9639000000000ull, 0xBEF40EFDF1EB8DE7ull},
    {"sin", 0x7FD5FDBBE9BBA775ull, 0x3FC73043BD7C0985ull},
    {"sin", 0x3F051319E8C9B51Aull, 0x3F051319E8B1550Full},
    {"sin", 0x3F32DF227B6674BCull, 0x3F32DF2277064E44ull},
    {"sin", 0xBEF453DA7CF4260Dull, 0xBEF453DA7CEEAE21ull},
    {"sin", 0xBEFEC7934DDB1F27ull, 0xBEFEC7934DC82324ull},
    {"sin", 0x4007EB0BF75AEA91ull, 0x3FC35BDEA3FBF118ull},
    {"sin", 0xBFE8CC788BECB1E5ull, 0xBFE663D6C5F371FEull},
    {"sin", 0xBFDB3C875F302EEDull, 0xBFDA6BF6240730B0ull},
    {"sin", 0xBFC0FE8BCF82B68Bull, 0xBFC0F1C6A431F4E0ull},
    {"sin", 0x413B1988B169D252ull, 0xBFD87AE2BFFED4F2ull},
    {"sin", 0x40BD8956242BBBF7ull, 0x3FDD6290077647C9ull},
    {"sin", 0x41197AF9A280FA8Cull, 0x3FC0BAD8D5898F8Eull},
    {"sin", 0xC0C0349B772B77D7ull, 0x3FD0F87B10706970ull},
    {"sin", 0x4D1E208EB25DF7FDull, 0xBFE6FD17AA3A4712ull},
    {"sin", 0xE0FC574714E5B9ACull, 0x3FD4D099E43360D4ull},
    {"sin", 0xFB6652A0D6184D6Aull, 0xBFC2FA9C59ADA1A2ull},
    {"sin", 0xC29683BDF9F16630ull, 0xBFEE1EB9A9400971ull},
    {"sin", 0x412A3851CAC9C6A0ull, 0x3FF0000000000000ull},
    {"sin", 0x4126E4D33E8917D3ull, 0xBFF0000000000000ull},
    {"sin", 0x4131B31A66C8EC04ull, 0xBFF0000000000000ull},
    {"sin", 0x40C1D4BBEFA8DE7Eull, 0xBD664580D9FD51CAull},
    {"cos", 0x01A56E1FC2F8F359ull, 0x3FF0000000000000ull},
    {"cos", 0x3E40000000000000ull, 0x3FF0000000000000ull},
    {"cos", 0xBE3FFFFFFFFFFFFFull, 0x3FF0000000000000ull},
    {"cos", 0x3FE0000000000000ull, 0x3FEC1528065B7D50ull},
    {"cos", 0x3FF0000000000000ull, 0x3FE14A280FB5068Cull},
    {"cos", 0x4000000000000000ull, 0xBFDAA22657537205ull},
    {"cos", 0x4008000000000000ull, 0xBFEFAE04BE85E5D2ull},
    {"cos", 0xC008000000000000ull, 0xBFEFAE04BE85E5D2ull},
    {"cos", 0x3FE921FB54442D18ull, 0x3FE6A09E667F3BCDull},
    {"cos", 0x3FF921FB54442D18ull, 0x3C91A62633145C07ull},
    {"cos", 0x400921FB54442D18ull, 0xBFF0000000000000ull},
    {"cos", 0x4024000000000000ull, 0xBFEAD9AC890C6B1Full},
    {"cos", 0x4059000000000000ull, 0x3FEB981DBF665FDFull},
    {"cos", 0x412E848000000000ull, 0x3FEDF9DF9906D32Cull},
    {"cos", 0xC202A05F20000000ull, 0x3FEBF098901C931Aull},
    {"cos", 0x4480F0CF064DD592ull, 0x3FE0BE2CEF01C8F4ull},
    {"cos", 0x54B249AD2594C37Dull, 0x3FED9757496841F5ull},
    {"cos", 0x7E37E43C8800759Cull, 0xBFE2699022ADC4C1ull},
    {"cos", 0x7FEFFFFFFFFFFFFFull, 0xBFEFFFE62ECFAB75ull},
    {"cos", 0x7FE0000000000000ull, 0xBFEA719F26C232BFull},
    {"cos", 0x7506AC5B262CA1FFull, 0xBC214AE72E6BA22Full},
    {"cos", 0x400921FB54442D11ull, 0xBFF0000000000000ull},
    {"cos", 0x3FF921FB54442D28ull, 0xBCEF72CECE675D20ull},
    {"cos", 0x4076300000000000ull, 0xBFEFFFFFFFC18E4Cull},
    {"cos", 0x40F9639000000000ull, 0x3FEFFFFFFFE6DA77ull},
    {"cos", 0x7FD5FDBBE9BBA775ull, 0xBFEF787399188B75ull},
    {"cos", 0x3F051319E8C9B51Aull, 0x3FEFFFFFFF90F715ull},
    {"cos", 0x3F32DF227B6674BCull, 0x3FEFFFFFE9BDCA9Bull},
    {"cos", 0xBEF453DA7CF4260Dull, 0x3FEFFFFFFFE62CA6ull},
    {"cos", 0xBEFEC7934DDB1F27ull, 0x3FEFFFFFFFC4C9DEull},
    {"cos", 0x4007EB0BF75AEA91ull, 0xBFEFA1C43F2958B6ull},
    {"cos", 0xBFE8CC788BECB1E5ull, 0x3FE6DCC473E28913ull},
    {"cos", 0xBFDB3C875F302EEDull, 0x3FED254E0B76707Eull},
    {"cos", 0xBFC0FE8BCF82B68Bull, 0x3FEFB7E77DC9405Aull},
    {"cos", 0x413B1988B169D252ull, 0xBFED910ACD655C3Bull},
    {"cos", 0x40BD8956242BBBF7ull, 0xBFEC6D79540DDF2Aull},
    {"cos", 0x41197AF9A280FA8Cull, 0xBFEFB9B9F7E1D281ull},
    {"cos", 0xC0C0349B772B77D7ull, 0xBFEEDABFBEB06CBAull},
    {"cos", 0x4D1E208EB25DF7FDull, 0x3FE642A5086C33DEull},
    {"cos", 0xE0FC574714E5B9ACull, 0x3FEE42A2C4E2C447ull},
    {"cos", 0xFB6652A0D6184D6Aull, 0x3FEFA5730DC99BF3ull},
    {"cos", 0xC29683BDF9F16630ull, 0x3FD59D055EF486CCull},
    {"cos", 0x412A3851CAC9C6A0ull, 0x3DB808B6C1C199C1ull},
    {"cos", 0x4126E4D33E8917D3ull, 0xBDC856E9032EBB5Aull},
    {"cos", 0x4131B31A66C8EC04ull, 0x3DCF5AFA1500D048ull},
    {"cos", 0x40C1D4BBEFA8DE7Eull, 0x3FF0000000000000ull},
    {"tan", 0x01A56E1FC2F8F359ull, 0x01A56E1FC2F8F359ull},
    {"tan", 0x3E40000000000000ull, 0x3E40000000000000ull},
    {"tan", 0xBE3FFFFFFFFFFFFFull, 0xBE3FFFFFFFFFFFFFull},
    {"tan", 0x3FE0000000000000ull, 0x3FE17B4F5BF3474Aull},
    {"tan", 0x3FF0000000000000ull, 0x3FF8EB245CBEE3A6ull},
    {"tan", 0x4000000000000000ull, 0xC0017AF62E0950F8ull},
    {"tan", 0x4008000000000000ull, 0xBFC23EF71254B86Full},
    {"tan", 0xC008000000000000ull, 0x3FC23EF71254B86Full},
    {"tan", 0x3FE921FB54442D18ull, 0x3FEFFFFFFFFFFFFFull},
    {"tan", 0x3FF921FB54442D18ull, 0x434D02967C31CDB5ull},
    {"tan", 0x400921FB54442D18ull, 0xBCA1A62633145C07ull},
    {"tan", 0x4024000000000000ull, 0x3FE4BF5F34BE3782ull},
    {"tan", 0x4059000000000000ull, 0xBFE2CA74D62B5D38ull},
    {"tan", 0x412E848000000000ull, 0xBFD7E9768AB734C0ull},
    {"tan", 0xC202A05F20000000ull, 0x3FE1DE000F443F50ull},
    {"tan", 0x4480F0CF064DD592ull, 0xBFFA0F79C1B6B257ull},
    {"tan", 0x54B249AD2594C37Dull, 0xBFDA5807D6F76F7Dull},
    {"tan", 0x7E37E43C8800759Cull, 0x3FF6BE411F37AC77ull},
    {"tan", 0x7FEFFFFFFFFFFFFFull, 0xBF74530CFE729484ull},
    {"tan", 0x7FE0000000000000ull, 0xBFE5CE6B4C0D02A3ull},
    {"tan", 0x7506AC5B262CA1FFull, 0xC3BD9BA9A7975636ull},
    {"tan", 0x400921FB54442D11ull, 0xBCED1A62633145C0ull},
    {"tan", 0x3FF921FB54442D28ull, 0xC2F047D58C2C48D7ull},
    {"tan", 0x4076300000000000ull, 0x3EFF9BD030BACC16ull},
    {"tan", 0x40F9639000000000ull, 0xBEF40EFDF1FB5124ull},
    {"tan", 0x7FD5FDBBE9BBA775ull, 0xBFC7942429FE2800ull},
    {"tan", 0x3F051319E8C9B51Aull, 0x3F051319E8FA7530ull},
    {"tan", 0x3F32DF227B6674BCull, 0x3F32DF228426C1B2ull},
    {"tan", 0xBEF453DA7CF4260Dull, 0xBEF453DA7CFF15E5ull},
    {"tan", 0xBEFEC7934DDB1F27ull, 0xBEFEC7934E01172Dull},
    {"tan", 0x4007EB0BF75AEA91ull, 0xBFC3958A7C85ACB5ull},
    {"tan", 0xBFE8CC788BECB1E5ull, 0xBFEF56BD29BAB499ull},
    {"tan", 0xBFDB3C875F302EEDull, 0xBFDD025D69C7BA98ull},
    {"tan", 0xBFC0FE8BCF82B68Bull, 0xBFC1184A635935AFull},
    {"tan", 0x413B1988B169D252ull, 0x3FDA7EABF1E73DA0ull},
    {"tan", 0x40BD8956242BBBF7ull, 0xBFE089F1A41CBFB1ull},
    {"tan", 0x41197AF9A280FA8Cull, 0xBFC0DFE78E22E69Dull},
    {"tan", 0xC0C0349B772B77D7ull, 0xBFD199C6689700E5ull},
    {"tan", 0x4D1E208EB25DF7FDull, 0xBFF0860338E5871Aull},
    {"tan", 0xE0FC574714E5B9ACull, 0x3FD602F309267E96ull},
    {"tan", 0xFB6652A0D6184D6Aull, 0xBFC330EA745924FDull},
    {"tan", 0xC29683BDF9F16630ull, 0xC0064C1DED50D0A1ull},
    {"tan", 0x412A3851CAC9C6A0ull, 0x42254D993F24F6A5ull},
    {"tan", 0x4126E4D33E8917D3ull, 0x4215092849483069ull},
    {"tan", 0x4131B31A66C8EC04ull, 0xC210543537785197ull},
    {"tan", 0x40C1D4BBEFA8DE7Eull, 0xBD664580D9FD51CAull},
    {"atan", 0x01A56E1FC2F8F359ull, 0x01A56E1FC2F8F359ull},
    {"atan", 0x3E40000000000000ull, 0x3E40000000000000ull},
    {"atan", 0x3FDA827999FCEF32ull, 0x3FD921FB54442D18ull},
    {"atan", 0x3FDA827999FCEF33ull, 0x3FD921FB54442D19ull},
    {"atan", 0x3FF0000000000000ull, 0x3FE921FB54442D18ull},
    {"atan", 0xBFF0000000000000ull, 0xBFE921FB54442D18ull},
    {"atan", 0x4000000000000000ull, 0x3FF1B6E192EBBE44ull},
    {"atan", 0x4024000000000000ull, 0x3FF789BD2C160054ull},
    {"atan", 0x4202A05F20000000ull, 0x3FF921FB543D4DE0ull},
    {"atan", 0x5F30000000000000ull, 0x3FF921FB54442D18ull},
    {"atan", 0x7E37E43C8800759Cull, 0x3FF921FB54442D18ull},
    {"atan", 0xBEE62E3F4A03B8E8ull, 0xBEE62E3F4A002B89ull},
    {"atan", 0x3E775E7477AC32C7ull, 0x3E775E7477AC32B6ull},
    {"atan", 0xBE74CFD80778CFC8ull, 0xBE74CFD80778CFBCull},
    {"atan", 0xBE3BD7CB57634249ull, 0xBE3BD7CB57634249ull},
    {"atan", 0xBF4B0A031BB68F87ull, 0xBF4B0A02B4C05C92ull},
    {"atan", 0x3FF410D654092A6Aull, 0x3FECB999C3EDD910ull},
    {"atan", 0xC00F6121BCEC115Full, 0xBFF52382ECB75298ull},
    {"atan", 0xC014B7EEACDDB130ull, 0xBFF614CD35158D57ull},
    {"atan", 0xBFD0D48EC27446DDull, 0xBFD0752A7F490054ull},
    {"atan", 0xC017FA3F0900B5D7ull, 0xBFF67CE90143070Eull},
    {"atan", 0xC124A852D4D11913ull, 0xBFF921F9C7B41E5Eull},
    {"atan", 0x44559BE6B7E1D04Bull, 0x3FF921FB54442D18ull},
    {"atan", 0xC3B92027532D0295ull, 0xBFF921FB54442D18ull},
    {"atan", 0xC0D3566D1D3D191Eull, 0xBFF921C660165BC4ull},
    {"atan", 0x4386A89DB7C1C6AAull, 0x3FF921FB54442D18ull},
    {"exp", 0x3FF0000000000000ull, 0x4005BF0A8B145769ull},
    {"exp", 0xBFF0000000000000ull, 0x3FD78B56362CEF38ull},
    {"exp", 0x3C20000000000000ull, 0x3FF0000000000000ull},
    {"exp", 0xBC20000000000000ull, 0x3FF0000000000000ull},
    {"exp", 0x3BC79CA10C924223ull, 0x3FF0000000000000ull},
    {"exp", 0x3FE0000000000000ull, 0x3FFA61298E1E069Cull},
    {"exp", 0x4024000000000000ull, 0x40D5829DCF950560ull},
    {"exp", 0xC024000000000000ull, 0x3F07CD79B5647C9Bull},
    {"exp", 0x40862E42FEFA39EFull, 0x7FEFFFFFFFFFFF2Aull},
    {"exp", 0x40862D999999999Aull, 0x7FED75AE7A50EE14ull},
    {"exp", 0xC086231EB851EB85ull, 0x00101A5FF6ED496Bull},
    {"exp", 0xC086233333333333ull, 0x000FF15B469EDF89ull},
    {"exp", 0xC087200000000000ull, 0x0000000000000055ull},
    {"exp", 0xC087490A3D70A3D7ull, 0x0000000000000001ull},
    {"exp", 0xC0874910D52D3051ull, 0x0000000000000001ull},
    {"exp", 0xC0874910D52D3052ull, 0x0000000000000000ull},
    {"exp", 0xC087491EB851EB85ull, 0x0000000000000000ull},
    {"exp", 0xC08F400000000000ull, 0x0000000000000000ull},
    {"exp", 0x3FE62E42FEFA39EFull, 0x4000000000000000ull},
    {"exp", 0x40026BB1BBB5551Full, 0x4024000000000018ull},
    {"exp", 0x3F6C9D6647A36F01ull, 0x3FF00E551AAAABFDull},
    {"exp", 0xBF41667535EC8682ull, 0x3FEFFBA6AE603BA4ull},
    {"exp", 0x3E97C78E112BA786ull, 0x3FF000005F1E395Full},
    {"exp", 0xBF7D985829D9FBA2ull, 0x3FEFC505EBE58B24ull},
    {"exp", 0x3EE4EEB1902D4EDCull, 0x3FF0000A775C346Cull},
    {"exp", 0x400BE8DDB279D326ull, 0x40405F2A9DB58E28ull},
    {"exp", 0x40115C99FAFA3EA3ull, 0x40532F66493A6D04ull},
    {"exp", 0xBFD01A2AB826998Dull, 0x3FE8E1C137C08967ull},
    {"exp", 0x3FE6E20794B2E40Dull, 0x40005AE09F3E88C0ull},
    {"exp", 0x40044D25FAB0FF5Eull, 0x40294CE22840F63Dull},
    {"exp", 0xC0470CF78D778770ull, 0x3BC6781CF2BD7953ull},
    {"exp", 0x40325BE056AC753Aull, 0x419669CD1E341D5Eull},
    {"exp", 0x4078E0C703EEBD58ull, 0x63D332241D0C34FCull},
    {"exp", 0xC080F95B355F5886ull, 0x0EF4B4D6B4F99872ull},
    {"exp", 0x40433447E6966E71ull, 0x4365489BB09699C6ull},
    {"log", 0x3FF0000000000000ull, 0x0000000000000000ull},
    {"log", 0x4000000000000000ull, 0x3FE62E42FEFA39EFull},
    {"log", 0x3FE0000000000000ull, 0xBFE62E42FEFA39EFull},
    {"log", 0x4024000000000000ull, 0x40026BB1BBB55516ull},
    {"log", 0x4059000000000000ull, 0x40126BB1BBB55516ull},
    {"log", 0x7FEFFFFFFFFFFFFFull, 0x40862E42FEFA39EFull},
    {"log", 0x0000000000000001ull, 0xC0874385446D71C3ull},
    {"log", 0x0010000000000000ull, 0xC086232BDD7ABCD2ull},
    {"log", 0x3FF0000000000001ull, 0x3CAFFFFFFFFFFFFFull},
    {"log", 0x3FEFFFFFFFFFFFFFull, 0xBCA0000000000000ull},
    {"log", 0x3FE6A09E667F3BCCull, 0xBFD62E42FEFA39F1ull},
    {"log", 0x3FE6A09E667F3BCDull, 0xBFD62E42FEFA39EEull},
    {"log", 0x4005BF0A8B145769ull, 0x3FF0000000000000ull},
    {"log", 0x01A56E1FC2F8F359ull, 0xC085963447F87FB5ull},
    {"log", 0x7E37E43C8800759Cull, 0x4085963447F87FB5ull},
    {"log", 0x3720C7659BB9E280ull, 0xC0586BEB04B50D78ull},
    {"log", 0x04D486A89D648999ull, 0xC0847BBEBA3C18C3ull},
    {"log", 0x2276F744D07F2728ull, 0xC0746CDD6121D0B1ull},
    {"log", 0x0955238461D9C399ull, 0xC082EC41C6ABA40Aull},
    {"log", 0x01E31887F8BB75A1ull, 0xC08580F2372D8970ull},
    {"log", 0x3FD4A83D4E3B99E4ull, 0xBFF217D690FF706Full},
    {"log", 0x40155E43ACA54965ull, 0x3FFACF4CDE385A11ull},
    {"log", 0x3FC0A4777FDF4662ull, 0xC000521228D07492ull},
    {"log", 0x3FD06D73501DFBB0ull, 0xBFF5C23F8053268Aull},
    {"log", 0x40122184EAD3E151ull, 0x3FF82E6355A72603ull},
    {"log", 0x680587F2293983FBull, 0x407BC9AB019ADB7Aull},
    {"log", 0x6D5CEBCCB6935371ull, 0x407F7D11C22349BAull},
    {"log", 0x610071614B066FD0ull, 0x4076EB3C0F4784A4ull},
    {"log", 0x4F605BA97ABFFD00ull, 0x40656757F18E95C2ull},
    {"log", 0x7C1302889C6925F6ull, 0x4084D7D6F49859B5ull},
    // Arguments at the edges of the grids the functions reduce to, and
    // values within about 2^-64 of the point halfway between two doubles,
    // where the first approximation cannot decide the rounding.
    {"atan", 0x4010D11607548FB4ull, 0x3FF5657D1310D2B5ull},
    {"log", 0x409A5990531D8570ull, 0x401DB8AC9E535269ull},
    {"log", 0x3F86702A49E79412ull, 0xC0120E306A1B6242ull},
    {"atan", 0x3F8BA49034273239ull, 0x3F8BA42233C52041ull},
    {"atan", 0x401F51779C7D6CE5ull, 0x3FF719A732279E5Aull},
    {"log", 0x406CEE196C1301CAull, 0x4015C6FCADB88151ull},
    {"exp", 0x4049643F9021FD0Bull, 0x448338BA612D98E9ull},
    {"exp", 0x4061BD6137872EB3ull, 0x4CBACEB76B380D51ull},
    {"exp", 0xC08076F2118ABA9Dull, 0x106DA5E5266DC466ull},
    {"atan", 0x3F6FFFFFFFFFFFFFull, 0x3F6FFFF5555BBBB6ull},
    {"atan", 0x3F70000000000001ull, 0x3F6FFFF5555BBBB9ull},
    {"atan", 0x3F87FFFFFFFFFFFFull, 0x3F87FFB80184C309ull},
    {"atan", 0x3FF460CBC7F5CF9Aull, 0x3FECF72BB8522DA1ull},
    {"atan", 0x4042492492492492ull, 0x3FF8B20278C788BCull},
    {"atan", 0x3FEFFFFFFFFFFFFFull, 0x3FE921FB54442D18ull},
    {"log", 0x3FF6B00000000000ull, 0x3FD659B57303E1F3ull},
    {"log", 0x3FFFF00000000000ull, 0x3FE61E3EFDA46467ull},
    {"log", 0x3FEFFFFFFFFFFFFFull, 0xBCA0000000000000ull},
    {"log", 0x3FF0000000000001ull, 0x3CAFFFFFFFFFFFFFull},
    {"log", 0x3FDFFFFFFFFFFFFFull, 0xBFE62E42FEFA39F0ull},
    {"log", 0x3FF0100000000000ull, 0x3F6FF00AA2B10BC0ull},
    {"exp", 0x3F662E42FEFA39EFull, 0x3FF00B1AFA5ABCBFull},
    {"exp", 0xC086231EB851EB85ull, 0x00101A5FF6ED496Bull},
    {"exp", 0x40862E3D70A3D70Aull, 0x7FEFE9CE5C4C52B4ull},
    {"tan", 0x3FB93663A26D6E00ull, 0x3FB94B56B1B7AEDAull},
    {"cos", 0x4035A15866047949ull, 0xBFEDF0490A551ABAull},
    {"sin", 0x404232DD4E88D65Bull, 0xBFEED9412EC27492ull},
    {"cos", 0x40015BC3DB04DC6Aull, 0xBFE20ADC684408F8ull},
    {"sin", 0x402E6C507A691B54ull, 0x3FDE7B43CD328F31ull},
    {"tan", 0x4030EA5653EE2895ull, 0x400509B270E3132Bull},
    {"sin", 0x3F87FFFFFFFFFFFFull, 0x3F87FFDC0010332Full},
    {"cos", 0x3F87FFFFFFFFFFFFull, 0x3FEFFF70006BFFE0ull},
    {"tan", 0x3F87FFFFFFFFFFFFull, 0x3F880048010336E2ull},
    {"sin", 0x3FE921FB54442D19ull, 0x3FE6A09E667F3BCDull},
    {"cos", 0x3FE921FB54442D19ull, 0x3FE6A09E667F3BCCull},
    {"tan", 0x3FE921FB54442D19ull, 0x3FF0000000000001ull},
    {"sin", 0x3FE921FB54442D18ull, 0x3FE6A09E667F3BCCull},
    {"cos", 0x3FE921FB54442D18ull, 0x3FE6A09E667F3BCDull},
    {"tan", 0x3FE921FB54442D18ull, 0x3FEFFFFFFFFFFFFFull},
    {"sin", 0x411FFFFFFFFFFFFFull, 0x3FC57481EC7171CAull},
    {"cos", 0x411FFFFFFFFFFFFFull, 0x3FEF8C1986CBBF43ull},
    {"tan", 0x411FFFFFFFFFFFFFull, 0x3FC5C354A2F9979Eull},
    {"sin", 0x4120000000000000ull, 0x3FC57481EC90FDE3ull},
    {"cos", 0x4120000000000000ull, 0x3FEF8C1986CA67FAull},
    {"tan", 0x4120000000000000ull, 0x3FC5C354A31A846Eull},
    {"sin", 0x4066C6CBC45DC8DEull, 0x3C46D61B58C99C43ull},
    {"cos", 0x4066C6CBC45DC8DEull, 0x3FF0000000000000ull},
    {"tan", 0x4066C6CBC45DC8DEull, 0x3C46D61B58C99C43ull},
};

TEST(PortableMath, GoldenBitsOnEveryPlatform) {
  for (const BitsRow& row : kGolden) {
    const double x = FromBits(row.x);
    EXPECT_EQ(Bits(Apply(row.function, x)), row.expected)
        << row.function << '(' << std::hexfloat << x << ") should be " << FromBits(row.expected);
  }
}

struct PowBitsRow {
  std::uint64_t x;
  std::uint64_t y;
  std::uint64_t expected;
};

// pow the same way: exact powers, a midpoint rounded to even, subnormal and
// overflowing results, negative bases, and random bases and exponents.
constexpr PowBitsRow kPowGolden[] = {
    {0x4000000000000000ull, 0x4024000000000000ull, 0x4090000000000000ull},
    {0x4010000000000000ull, 0x3FE0000000000000ull, 0x4000000000000000ull},
    {0x4008000000000000ull, 0x4000000000000000ull, 0x4022000000000000ull},
    {0x4024000000000000ull, 0xC000000000000000ull, 0x3F847AE147AE147Bull},
    {0x4024000000000000ull, 0x4036000000000000ull, 0x4480F0CF064DD592ull},
    {0x4024000000000000ull, 0x4037000000000000ull, 0x44B52D02C7E14AF6ull},
    {0x4030000000000000ull, 0x3FE8000000000000ull, 0x4020000000000000ull},
    {0x4196A09E6C000000ull, 0x4000000000000000ull, 0x4340000007C84BECull},
    {0x4000000000000000ull, 0xC090C80000000000ull, 0x0000000000000001ull},
    {0x4000000000000000ull, 0xC090CC0000000000ull, 0x0000000000000000ull},
    {0x1E60000000000000ull, 0x4000000000000000ull, 0x0000000000000001ull},
    {0x4000000000000000ull, 0x3FE0000000000000ull, 0x3FF6A09E667F3BCDull},
    {0xC000000000000000ull, 0x4008000000000000ull, 0xC020000000000000ull},
    {0xC000000000000000ull, 0xC008000000000000ull, 0xBFC0000000000000ull},
    {0x4000000000000000ull, 0x408FFC0000000000ull, 0x7FE6A09E667F3BCDull},
    {0x3FF0000000000001ull, 0x4330000000000000ull, 0x4005BF0A8B145769ull},
    {0x3FEFAE147AE147AEull, 0x40F86A0000000000ull, 0x0000000000000000ull},
    {0x401C000000000000ull, 0x3FE0000000000000ull, 0x40052A7FA9D2F8EAull},
    {0x000012688B70E62Bull, 0x3FE0000000000000ull, 0x1FC1297872D9CBAEull},
    {0x0000000000000001ull, 0x3FF0000000000000ull, 0x0000000000000001ull},
    {0x400921FB54442D11ull, 0x4004000000000000ull, 0x40317E50A9DC6546ull},
    {0x4005BF0995AAF790ull, 0xC01D000000000000ull, 0x3F47456753219420ull},
    {0x404A9889059EB5F6ull, 0xC01EC174DE2BB5E6ull, 0x3D2E3D9C72CBEEB3ull},
    {0x3FE04AE3A44459C8ull, 0xBFF3EBFA2AC95846ull, 0x40028A3A0A5FBB0Dull},
    {0x3FDB27D0F75E7BD4ull, 0xC020E3933F9F3351ull, 0x4095C57223D2E56Cull},
    {0x3F6A21B127965AEEull, 0xC016917F055B8BC2ull, 0x42DB9561BB45804Aull},
    {0x406E47CB676D2E64ull, 0xC00D5F16567E371Bull, 0x3E1E4C25ED96DE47ull},
    {0x3F43EEED03C0BA17ull, 0x400E16380B7B7D99ull, 0x3D6C4F74CEE33633ull},
    {0x40853CA2E5393DC8ull, 0xBFFDE3EDF1A8FBD4ull, 0x3ED575A04E953C0Bull},
    {0x3FA10269C8A5F7EAull, 0xC0133591715842CEull, 0x41680BA9BB299C5Bull},
    {0x3F84E3CF9FE72303ull, 0x40201918FA05AEB2ull, 0x3C9AF9C9F134EFF7ull},
    {0x40A055F44086242Bull, 0x40184E8973BE11D8ull, 0x442049B1596AEABBull},
    {0x3FB374FFA386E483ull, 0xC005F089152F559Aull, 0x40925377F06A8010ull},
    {0x3FDEAAB1B3092A26ull, 0x40154507EAB3FF9Bull, 0x3F947ACCC80545BBull},
    {0x3F65806B3D6B3E34ull, 0xC00EB554F083EB6Dull, 0x41FE11B3AA68E911ull},
    {0x3FEA0374E25770DAull, 0x4021C0A5027DC18Aull, 0x3FC45C30940F298Aull},
    {0x3FAC6245A2FF6A99ull, 0x4023D44872CEE499ull, 0x3D58B29F36E774EFull},
    {0x4028F88B3CBC8933ull, 0x4005C2EFD9E62921ull, 0x408E02A19EFD5190ull},
    {0x3F81298E66AC7217ull, 0x40115D150C19B006ull, 0x3E1098EAEE20FDDCull},
    {0x3F309738B678F6ABull, 0xC017A68885F77C8Aull, 0x4458F924EC11D325ull},
    {0x3FAE6EC43CBF02F5ull, 0xC0128FDE8A6812D9ull, 0x411DD1DA151EB49Full},
    {0x40106B9F168EDD7Dull, 0xC01BFDC979C58D94ull, 0x3F0AC4D4124344B2ull},
    {0x3F50B4E381DF1AD8ull, 0x4021936331C8A833ull, 0x3A79718A49C131E9ull},
    {0x3F85B8BE93C7736Dull, 0x40159D2BFB8CA864ull, 0x3DB791D47EAE2156ull},
    {0x409097E96CA50900ull, 0x4016E9D83EC5AEF4ull, 0x4387FE71AB7E6031ull},
    {0x3F85ECF49E5DE766ull, 0x401950FC7BC5D5D4ull, 0x3D57CE453C2F485Aull},
    {0x3F700E5C4F2B44F1ull, 0xC021BA4A897C5638ull, 0x445D299B19B81706ull},
    {0x4086273FD7087A91ull, 0xC002682C81CD8C23ull, 0x3E9288917A47260Cull},
    {0x401543937357A000ull, 0x400F882E3F07746Full, 0x4086A1F994BCC345ull},
    {0x405FDFABD7A8A91Eull, 0x4021B6AA9570CB10ull, 0x43CED7C8029D9BC7ull},
    {0x3FF1BFB8BFCE95D9ull, 0x401772359203CBE2ull, 0x3FFD63B73B271C81ull},
    {0x3F3D810F4257348Full, 0x401A748985ED2BB7ull, 0x3B563664A87B48C5ull},
    {0x3FC91DEF76A2FFFCull, 0x4014000000000000ull, 0x3F3310F011F43883ull},
    {0xC00A26CD114A5873ull, 0xC014000000000000ull, 0xBF65F21FA83126E2ull},
    {0xBFF070BE9D2B5C75ull, 0xC028000000000000ull, 0x3FE719F6111BE7A2ull},
    {0xBFCE7ED2E259CD11ull, 0x4024000000000000ull, 0x3EA3C4F9CFE29497ull},
    {0x3FFF09055641B0A6ull, 0x4014000000000000ull, 0x403B755AB0BA3A96ull},
    {0xBFC4419505D9160Cull, 0x402E000000000000ull, 0xBD71334063FC7B29ull},
    {0x400C621CB214431Full, 0x4032000000000000ull, 0x41FD8E90016FADD4ull},
    {0xBFDA2543F2AE44ACull, 0xC024000000000000ull, 0x40BE2B95B632030Cull},
    {0x40082C861F787AF5ull, 0xC033000000000000ull, 0x3E09C5E1A49E9274ull},
    {0xBFE25D782FC256DCull, 0xC010000000000000ull, 0x40226F7DF1882337ull},
    // Powers within about 2^-64 of the point halfway between two doubles.
    {0x3FFEAABE49BE383Eull, 0xC001B3E4C968CB6Aull, 0x3FCE563C1D8FA024ull},
    {0x40019EE042D2F0D1ull, 0xC00252E8F2EEC3BAull, 0x3FC4F9F9C7BF8BD4ull},
    {0x400B256B0B8699F7ull, 0x4007B0162858D338ull, 0x4042A04467A1354Aull},
};

TEST(PortableMath, GoldenPowBitsOnEveryPlatform) {
  for (const PowBitsRow& row : kPowGolden) {
    const double x = FromBits(row.x);
    const double y = FromBits(row.y);
    EXPECT_EQ(Bits(PortablePow(x, y)), row.expected)
        << std::hexfloat << "pow(" << x << ", " << y << ") should be " << FromBits(row.expected);
  }
}

struct Case {
  const char* function;
  double x;
  double expected;
};

TEST(PortableMath, SpecialValues) {
  const double half_pi = 0x1.921fb54442d18p+0;
  const Case cases[] = {
      {"sin", 0.0, 0.0},         {"sin", -0.0, -0.0},  {"sin", kInf, kNaN},
      {"sin", -kInf, kNaN},      {"sin", kNaN, kNaN},  {"cos", 0.0, 1},
      {"cos", -0.0, 1},          {"cos", kInf, kNaN},  {"cos", kNaN, kNaN},
      {"tan", -0.0, -0.0},       {"tan", kInf, kNaN},  {"tan", kNaN, kNaN},
      {"atan", 0.0, 0.0},        {"atan", -0.0, -0.0}, {"atan", kInf, half_pi},
      {"atan", -kInf, -half_pi}, {"atan", kNaN, kNaN}, {"exp", 0.0, 1},
      {"exp", -0.0, 1},          {"exp", kInf, kInf},  {"exp", -kInf, 0.0},
      {"exp", 710, kInf},        {"exp", -746, 0.0},   {"exp", kNaN, kNaN},
      {"log", 1, 0.0},           {"log", 0.0, -kInf},  {"log", -0.0, -kInf},
      {"log", -1, kNaN},         {"log", -kInf, kNaN}, {"log", kInf, kInf},
      {"log", kNaN, kNaN},
  };
  for (const Case& c : cases) {
    EXPECT_TRUE(SameDouble(c.expected, Apply(c.function, c.x)))
        << c.function << '(' << std::hexfloat << c.x << ')';
  }
}

struct PowCase {
  double x;
  double y;
  double expected;
};

TEST(PortableMath, PowSpecialValues) {
  const PowCase cases[] = {
      {kNaN, 0.0, 1},      {kNaN, -0.0, 1},   {1, kNaN, 1},       {-1, kInf, 1},
      {-1, -kInf, 1},      {kNaN, 1, kNaN},   {1.5, kNaN, kNaN},  {-1.5, 2.5, kNaN},
      {-8, 1.0 / 3, kNaN}, {-0.0, -3, -kInf}, {0.0, -3, kInf},    {-0.0, -2, kInf},
      {-0.0, -0.5, kInf},  {-0.0, 3, -0.0},   {0.0, 3, 0.0},      {-0.0, 2, 0.0},
      {-0.0, 0.5, 0.0},    {0.5, kInf, 0.0},  {0.5, -kInf, kInf}, {-2, kInf, kInf},
      {2, -kInf, 0.0},     {-kInf, -3, -0.0}, {-kInf, -2, 0.0},   {-kInf, 3, -kInf},
      {-kInf, 2.5, kInf},  {kInf, -1, 0.0},   {kInf, 0.1, kInf},  {-2, 3, -8},
      {-2, -3, -0.125},    {-2, 2, 4},        {10, 400, kInf},    {-10, 401, -kInf},
      {10, -400, 0.0},     {-10, -401, -0.0},
  };
  for (const PowCase& c : cases) {
    EXPECT_TRUE(SameDouble(c.expected, PortablePow(c.x, c.y)))
        << std::hexfloat << "pow(" << c.x << ", " << c.y << ')';
  }
}

TEST(PortableMath, PowIsExactWhenTheResultIsADouble) {
  const PowCase cases[] = {
      {2, 10, 1024},
      {4, 0.5, 2},
      {3, 2, 9},
      {16, 0.75, 8},
      {0x1p-600, 0.125, 0x1p-75},
      {10, 22, 1e22},
      {5, -3, 0.008},  // not a double: the nearest one, as the literal
      {10, 23, 1e23},  // neither: 10^23 has 54 significant bits
      {2, -1074, 0x1p-1074},
      {0x1p-537, 2, 0x1p-1074},
      // Halfway between two doubles: to the even one, like a correctly
      // rounded pow (94906267^2 = 9007199515875289, 2^-1075 halfway to 0).
      {94906267, 2, 9007199515875288.0},
      {2, -1075, 0.0},
      {0x1.8p-1074, 1, 0x1.8p-1074},
  };
  for (const PowCase& c : cases) {
    EXPECT_TRUE(SameDouble(c.expected, PortablePow(c.x, c.y)))
        << std::hexfloat << "pow(" << c.x << ", " << c.y << ')';
  }
}

// A random double from fixed bits, so every platform draws the same ones.
class Draw {
 public:
  double Uniform() {  // [0, 1)
    state_ = state_ * 6364136223846793005ull + 1442695040888963407ull;
    return static_cast<double>(state_ >> 11) * 0x1p-53;
  }
  double LogUniform(int low, int high) {  // about 2^[low, high), either sign
    // One draw a statement: the order of a call's arguments is the compiler's.
    const double mantissa = 1 + Uniform();
    const int exponent = low + static_cast<int>((high - low) * Uniform());
    const double magnitude = std::ldexp(mantissa, exponent);
    return Uniform() < 0.5 ? -magnitude : magnitude;
  }

 private:
  std::uint64_t state_ = 20261207;
};

// Distance in ulps between two finite doubles of the same sign.
std::uint64_t UlpDistance(double a, double b) {
  const std::uint64_t x = Bits(a) & 0x7FFFFFFFFFFFFFFFull;
  const std::uint64_t y = Bits(b) & 0x7FFFFFFFFFFFFFFFull;
  return x > y ? x - y : y - x;
}

// The platform's own functions err by under an ulp, so no result may be more
// than one ulp from theirs; pow against the exactly rounded square root,
// product and quotient it must equal.
TEST(PortableMath, WithinOneUlpOfThePlatformLibrary) {
  Draw draw;
  for (int i = 0; i < 3000; ++i) {
    const double x = draw.LogUniform(-20, i % 3 == 0 ? 60 : 4);
    const struct {
      double ours;
      double library;
    } pairs[] = {{PortableSin(x), std::sin(x)},
                 {PortableCos(x), std::cos(x)},
                 {PortableTan(x), std::tan(x)},
                 {PortableAtan(x), std::atan(x)},
                 {PortableExp(x / 64), std::exp(x / 64)},
                 {PortableLog(std::fabs(x)), std::log(std::fabs(x))}};
    for (const auto& pair : pairs) {
      ASSERT_LE(UlpDistance(pair.ours, pair.library), 1u) << std::hexfloat << "x = " << x;
    }
    const double a = std::fabs(draw.LogUniform(-560, 500));
    ASSERT_EQ(PortablePow(a, 0.5), std::sqrt(a)) << std::hexfloat << a;
    ASSERT_EQ(PortablePow(a, 2), a * a) << std::hexfloat << a;
    ASSERT_EQ(PortablePow(a, -1), 1 / a) << std::hexfloat << a;
  }
}

// Fixed-point numbers of 32-bit limbs, least significant first, for an
// independent check of the 2/pi table.
using Limbs = std::vector<std::uint32_t>;

void DivideBy(Limbs& a, std::uint32_t d) {
  std::uint64_t rest = 0;
  for (std::size_t i = a.size(); i-- > 0;) {
    const std::uint64_t current = (rest << 32) | a[i];
    a[i] = static_cast<std::uint32_t>(current / d);
    rest = current % d;
  }
}

void AddTo(Limbs& a, const Limbs& b) {
  std::uint64_t carry = 0;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const std::uint64_t sum = std::uint64_t{a[i]} + b[i] + carry;
    a[i] = static_cast<std::uint32_t>(sum);
    carry = sum >> 32;
  }
}

void SubtractFrom(Limbs& a, const Limbs& b) {  // a >= b
  std::int64_t borrow = 0;
  for (std::size_t i = 0; i < a.size(); ++i) {
    std::int64_t difference = std::int64_t{a[i]} - b[i] - borrow;
    borrow = difference < 0 ? 1 : 0;
    a[i] = static_cast<std::uint32_t>(difference + (borrow << 32));
  }
}

void MultiplyBy(Limbs& a, std::uint32_t m) {
  std::uint64_t carry = 0;
  for (std::uint32_t& limb : a) {
    const std::uint64_t product = std::uint64_t{limb} * m + carry;
    limb = static_cast<std::uint32_t>(product);
    carry = product >> 32;
  }
}

bool IsZero(const Limbs& a) {
  for (std::uint32_t limb : a) {
    if (limb != 0) return false;
  }
  return true;
}

// atan(1/n) with `fraction` limbs after the point (and one before), by its
// series; each term truncated, so low by at most a few hundred units of the
// last limb.
Limbs ArctanOfInverse(std::uint32_t n, std::size_t fraction) {
  Limbs power(fraction + 1, 0);
  power[fraction] = 1;
  DivideBy(power, n);  // 1/n
  Limbs sum(fraction + 1, 0);
  for (std::uint32_t k = 0; !IsZero(power); ++k) {
    Limbs term = power;
    DivideBy(term, 2 * k + 1);
    if (k % 2 == 0) {
      AddTo(sum, term);
    } else {
      SubtractFrom(sum, term);
    }
    DivideBy(power, n * n);
  }
  return sum;
}

// The table times pi, with pi from Machin's formula 16 atan(1/5) - 4 atan(1/239),
// must come within the table's own truncation of 2.
TEST(PortableMath, TwoOverPiTableMatchesMachinsPi) {
  const std::span<const std::uint32_t> table = TwoOverPiWords();
  const std::size_t fraction = table.size() + 3;  // three guard limbs
  Limbs pi = ArctanOfInverse(5, fraction);
  MultiplyBy(pi, 16);
  Limbs small = ArctanOfInverse(239, fraction);
  MultiplyBy(small, 4);
  SubtractFrom(pi, small);
  ASSERT_EQ(pi.back(), 3u);

  // product = table * pi, worth 2^-(32 (table.size() + fraction)) a unit.
  Limbs product(table.size() + pi.size() + 1, 0);
  for (std::size_t i = 0; i < table.size(); ++i) {
    const std::uint64_t word = table[table.size() - 1 - i];  // the table starts at the point
    std::uint64_t carry = 0;
    for (std::size_t j = 0; j < pi.size(); ++j) {
      const std::uint64_t t = word * pi[j] + product[i + j] + carry;
      product[i + j] = static_cast<std::uint32_t>(t);
      carry = t >> 32;
    }
    product[i + pi.size()] = static_cast<std::uint32_t>(carry);
  }
  // 2 - product: the table is truncated, so product < 2 by less than
  // 4 units of the table's last bit (pi's own error is far below that).
  Limbs two(product.size(), 0);
  two[table.size() + fraction] = 2;
  SubtractFrom(two, product);
  const std::size_t last_bit_limb = fraction;  // the table's last bit, 2^-1344, is limb `fraction`
  for (std::size_t i = last_bit_limb + 1; i < two.size(); ++i) {
    EXPECT_EQ(two[i], 0u) << "limb " << i << " of 2 - table * pi";
  }
  EXPECT_LT(two[last_bit_limb], 4u);
}

}  // namespace
}  // namespace matcalc
