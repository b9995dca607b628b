// tolvane-man-sections PAGE.scd: PAGE with each line "@OPTIONS@" replaced by
// one entry per option of tolvane-cli's option table, "@EXIT_STATUS@" by one
// entry per exit code of its outcome table, and "@TRANSCRIPT@" and "@RECORD@"
// by the paragraphs --help tells those files with, in scdoc, on standard
// output. The rest of the page is the hand-written prose.
#include "OptionTable.h"
#include "output/OutcomeTable.h"
#include "bench/RunRecord.h"
#include "TranscriptHelp.h"

#include <fstream>
#include <iostream>
#include <string>

namespace {

// Text as scdoc shows it literally: its markup characters escaped, and a
// leading "-", which would start a list.
std::string Literal(const std::string& text)
{
    std::string escaped = text.compare(0, 1, "-") == 0 ? "\\" : "";
    for (char c : text) {
        if (c == '\\' || c == '*' || c == '_')
            escaped += '\\';
        escaped += c;
    }
    return escaped;
}

// "*--pin* _NEW_", "*-h*, *--help*".
std::string OptionTerm(const OptionSpec& option)
{
    std::string term;
    if (option.shortName != nullptr)
        term += "*" + Literal(option.shortName) + "*, ";
    term += "*" + Literal(option.name) + "*";
    if (option.argument != nullptr)
        term += " _" + Literal(option.argument) + "_";
    return term;
}

void PrintOptions(std::ostream& out)
{
    for (const OptionSpec& option : OptionTable())
        out << OptionTerm(option) << "\n\t" << Literal(OptionHelp(option, AllCommands()) + CommandsTaking(option))
            << "\n\n";
}

void PrintExitStatus(std::ostream& out)
{
    for (const OutcomeRow& row : RowsByCode())
        out << "*" << ToInt(row.code) << "*\n\t" << Literal(HelpLine(row)) << "\n\n";
}

// Help text wrapped for a terminal as scdoc paragraphs: each paragraph's
// lines joined into one, so that no line of it starts scdoc's markup.
void PrintParagraphs(std::ostream& out, const std::string& text)
{
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find("\n\n", start);
        if (end == std::string::npos)
            end = text.size();
        std::string paragraph = text.substr(start, end - start);
        for (char& c : paragraph) {
            if (c == '\n')
                c = ' ';
        }
        if (!paragraph.empty())
            out << Literal(paragraph) << "\n\n";
        start = end + 2;
    }
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: tolvane-man-sections PAGE.scd\n";
        return 2;
    }
    std::ifstream page(argv[1]);
    if (!page) {
        std::cerr << "tolvane-man-sections: cannot read " << argv[1] << "\n";
        return 1;
    }
    for (std::string line; std::getline(page, line);) {
        if (line == "@OPTIONS@")
            PrintOptions(std::cout);
        else if (line == "@EXIT_STATUS@")
            PrintExitStatus(std::cout);
        else if (line == "@TRANSCRIPT@")
            PrintParagraphs(std::cout, TranscriptHelpText());
        else if (line == "@RECORD@")
            PrintParagraphs(std::cout, RecordHelpText);
        else
            std::cout << line << "\n";
    }
    return std::cout ? 0 : 1;
}
