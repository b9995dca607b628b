#include "SerialPortList.h"

#include "ComPortNames.h"

#include <algorithm>
#include <cstddef>

std::vector<std::string> SortComPortNames(const std::vector<std::string>& names)
{
    std::vector<int> numbers;
    for (const std::string& name : names) {
        const int number = ComPortNumber(name);
        if (number != 0)
            numbers.push_back(number);
    }
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
    std::vector<std::string> sorted;
    for (int number : numbers)
        sorted.push_back(ComPortName(number));
    return sorted;
}

namespace {

// Splits "ttyUSB12" into "ttyUSB" and the value of its trailing digits.
void SplitTtyName(const std::string& name, std::string& stem, std::string& digits)
{
    std::size_t end = name.size();
    while (end > 0 && name[end - 1] >= '0' && name[end - 1] <= '9')
        --end;
    stem = name.substr(0, end);
    digits = name.substr(end);
}

}  // namespace

bool TtyNameLess(const std::string& left, const std::string& right)
{
    std::string leftStem, leftDigits, rightStem, rightDigits;
    SplitTtyName(left, leftStem, leftDigits);
    SplitTtyName(right, rightStem, rightDigits);
    if (leftStem != rightStem)
        return leftStem < rightStem;
    // Compared as numbers of any length: fewer digits (after leading zeros) is smaller.
    const std::size_t leftStart = std::min(leftDigits.find_first_not_of('0'), leftDigits.size());
    const std::size_t rightStart = std::min(rightDigits.find_first_not_of('0'), rightDigits.size());
    const std::string leftValue = leftDigits.substr(leftStart);
    const std::string rightValue = rightDigits.substr(rightStart);
    if (leftValue.size() != rightValue.size())
        return leftValue.size() < rightValue.size();
    if (leftValue != rightValue)
        return leftValue < rightValue;
    return left < right;
}
