// Writes Default.KOVA2 at build time: kova-default-file <path>

#include "tools/default-file/Archivo_Por_Defecto.h"
#include "platform/StderrLine.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("usage: kova-default-file <path>\n", stderr);
        return 2;
    }
    std::string error;
    if (!kova::escribirArchivoPorDefecto(argv[1], error)) {
        kova::writeStderrLine(std::string("kova-default-file: ") + argv[1] + ": " + error);
        return 1;
    }
    return 0;
}
