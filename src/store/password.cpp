#include "store/password.h"

static constexpr char passwordKey[] = "KRWTLMZ 58203714 ";
static constexpr std::size_t passwordKeyLength = sizeof(passwordKey) - 1;
static_assert(passwordKeyLength == 17);

void scramblePassword(const std::string &input, std::string &output)
{
    std::string result(input.size(), '\0');
    for (std::size_t i = 0; i < input.size(); ++i)
        result[i] = static_cast<char>(static_cast<unsigned char>(input[i]) ^
                                      static_cast<unsigned char>(passwordKey[i % passwordKeyLength]));
    output = result;
}
