#include "app/Fakes_Archivos.h"
#include "tools/default-file/Archivo_Por_Defecto.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

using namespace kova;

namespace {

// The build writes Default.KOVA2 beside the program, one folder above the tests.
std::string archivoConstruido()
{
    const auto exe = std::filesystem::read_symlink("/proc/self/exe");
    return (exe.parent_path().parent_path() / "Default.KOVA2").string();
}

TEST(Default_KOVA2, BuiltFileHoldsTheRelayDefaultSetpoints)
{
    const std::string ruta = archivoConstruido();
    std::ifstream f(ruta, std::ios::binary);
    ASSERT_TRUE(f) << ruta;
    const std::vector<std::uint8_t> b(std::istreambuf_iterator<char>(f), {});
    ASSERT_EQ(b.size(), 4268u);

    // Registers at their places in the Put image (file offset 198).
    struct Caso { std::uint16_t reg; std::size_t byte; };
    const Caso casos[] = {{0x0101, 0}, {0x0102, 2}, {0x0118, 46}, {0x0119, 48}, {0x012E, 90},
                          {0x1000, 96}, {0x1019, 146}, {0x1032, 196}, {0x104B, 246}, {0x1064, 296}};
    for (const auto& c : casos) {
        std::uint16_t v = 0;
        ASSERT_TRUE(relaysim::defaultSetpoint(c.reg, v));
        EXPECT_EQ(b[198 + c.byte], v >> 8) << std::hex << c.reg;
        EXPECT_EQ(b[198 + c.byte + 1], v & 0xFF) << std::hex << c.reg;
    }
    EXPECT_EQ(b[198 + 298], 0);
    EXPECT_EQ(b[198 + 300], 0);

    prueba::Enlace_Falso enlace;
    prueba::Ventana_Falsa ventana;
    Manejo_de_Archivos archivos(enlace, ventana);
    ASSERT_TRUE(archivos.Leer_Archivo(ruta));
    EXPECT_EQ(enlace.put, imagenPutPorDefecto());
    EXPECT_EQ(enlace.actual, Imagen_Actual{});
    EXPECT_EQ(archivos.Firmware_Rele, "1.01    ");
    EXPECT_EQ(archivos.Nombre_Rele, std::string(20, ' '));
    EXPECT_EQ(archivos.Eventos, Copia_Eventos{});
    EXPECT_FALSE(archivos.Fecha_Texto.empty());
}

} // namespace
