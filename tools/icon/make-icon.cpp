// make-icon SOURCE.txt OUTPUT.ico: builds the application icon from its
// text source (see IconSource.h). Writes nothing when the source is wrong.
#include "IcoFile.h"
#include "IconSource.h"

#include <fstream>
#include <iostream>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: make-icon SOURCE.txt OUTPUT.ico\n";
        return 2;
    }
    std::ifstream text(argv[1]);
    if (!text) {
        std::cerr << argv[1] << ": cannot be read\n";
        return 1;
    }
    IconSource source;
    std::string error;
    if (!ReadIconSource(text, source, error)) {
        std::cerr << argv[1] << ": " << error << "\n";
        return 1;
    }
    const std::vector<unsigned char> bytes = EncodeIcoFile(source);
    std::ofstream ico(argv[2], std::ios::binary | std::ios::trunc);
    ico.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!ico.flush()) {
        std::cerr << argv[2] << ": cannot be written\n";
        return 1;
    }
    return 0;
}
