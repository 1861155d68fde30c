#include "app/Cp1252.h"
#include "app/Enlace_Archivos.h"
#include "app/Manejo_de_Archivos.h"
#include "app/Registro_Archivo.h"
#include "app/Fakes_Archivos.h"
#include "app/support/ValidSetpoints.h"
#include "platform/FullFolder.h"
#include "platform/WholeFileWriter.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>
#include <fstream>
#include <iterator>
#include <limits>
#include <tuple>

using namespace kova;
using prueba::Enlace_Falso;
using prueba::Ventana_Falsa;

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes leerTodo(const std::string& ruta)
{
    std::ifstream f(ruta, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(f), {});
}

void escribirTodo(const std::string& ruta, const Bytes& b)
{
    std::ofstream f(ruta, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
}

void ponerAscii(Bytes& b, std::size_t pos, std::string_view s)
{
    std::memcpy(b.data() + pos, s.data(), s.size());
}

// A record put together by hand, field by field, from the file layout.
Bytes archivoAMano()
{
    Bytes b(4268, 0x20);
    ponerAscii(b, 0, "KOVA2");
    const std::uint8_t fecha[8] = {0x00, 0x00, 0x00, 0x00, 0x40, 0x1F, 0xE6, 0x40};  // 45306.0
    std::memcpy(b.data() + 50, fecha, 8);
    ponerAscii(b, 58, "Jos\xE9");                 // "José" in Windows-1252
    ponerAscii(b, 78, "Feeder 7");
    ponerAscii(b, 98, "Line \x80 note");          // the euro sign
    for (int i = 0; i < 301; ++i)
        b[198 + i] = static_cast<std::uint8_t>(i % 256);
    for (int i = 0; i < 401; ++i)
        b[499 + i] = static_cast<std::uint8_t>((255 - i) % 256 & 0xFF);
    ponerAscii(b, 900 + 0, "  12, Phase Overcurrent ,15/01/2024 10:20:30");
    ponerAscii(b, 900 + 60 * 19, "1,x");
    ponerAscii(b, 900 + 60 * 20, "row twenty");   // never loaded
    ponerAscii(b, 2160 + 0, " 123.45");           // IA, row 0
    ponerAscii(b, 2160 + 210 * 9 + 10 * 19, "0.98");  // FP, row 19
    ponerAscii(b, 2160 + 210 * 9 + 10 * 20, "9999");  // FP, row 20: never loaded
    ponerAscii(b, 4260, "1.05");
    return b;
}

class Archivos : public ::testing::Test
{
protected:
    Archivos() : archivos(enlace, ventana)
    {
        archivos.usarReloj([] { return Fecha_Civil{2024, 1, 15}; });
    }

    std::string ruta(const char* nombre) const { return dir.filePath(nombre).toStdString(); }

    // Everything a rejected load must leave as it was.
    struct Estado
    {
        Imagen_Setpoints put, get;
        Imagen_Actual actual;
        std::string programador, nombre, observaciones, fecha, firmware, titulo;
        Copia_Eventos eventos;
        bool comunicando, detener, datosDeArchivo;
        Registro_Archivo::Bytes registro;
        std::map<int, std::string> paneles;
        bool operator==(const Estado&) const = default;
    };
    Estado estado() const
    {
        return {enlace.put, enlace.get, enlace.actual, archivos.Programador, archivos.Nombre_Rele,
                archivos.Observaciones, archivos.Fecha_Texto, archivos.Firmware_Rele, ventana.titulo,
                archivos.Eventos, enlace.comunicando, enlace.detener, archivos.Datos_De_Archivo,
                archivos.registro().bytes(), ventana.paneles};
    }

    QTemporaryDir dir;
    Enlace_Falso enlace;
    Ventana_Falsa ventana;
    Manejo_de_Archivos archivos;
};

TEST_F(Archivos, SaveWritesTheExactLayout)
{
    archivos.Programador = "Ann";
    archivos.Nombre_Rele = "R1";
    archivos.Firmware_Rele = "1.01";
    for (int i = 0; i < 301; ++i)
        enlace.put[i] = static_cast<std::uint8_t>(i % 256);
    for (int i = 0; i < 401; ++i)
        enlace.actual[i] = static_cast<std::uint8_t>((255 - i) % 256 & 0xFF);

    ASSERT_TRUE(archivos.Grabar_Archivo(ruta("a.KOVA2")));
    EXPECT_TRUE(archivos.Archivo_Guardado);
    EXPECT_TRUE(ventana.mensajes.empty());
    const Bytes b = leerTodo(ruta("a.KOVA2"));
    ASSERT_EQ(b.size(), 4268u);

    auto rango = [&](std::size_t desde, std::size_t n) { return Bytes(b.begin() + desde, b.begin() + desde + n); };
    auto texto = [&](std::size_t desde, std::size_t n) { return std::string(b.begin() + desde, b.begin() + desde + n); };
    EXPECT_EQ(texto(0, 50), "KOVA2" + std::string(45, ' '));
    EXPECT_EQ(rango(50, 8), (Bytes{0x00, 0x00, 0x00, 0x00, 0x40, 0x1F, 0xE6, 0x40}));
    EXPECT_EQ(texto(58, 20), "Ann" + std::string(17, ' '));
    EXPECT_EQ(texto(78, 20), "R1" + std::string(18, ' '));
    EXPECT_EQ(texto(98, 100), std::string(100, ' '));
    for (int i = 0; i < 301; ++i)
        ASSERT_EQ(b[198 + i], i % 256) << i;
    for (int i = 0; i < 401; ++i)
        ASSERT_EQ(b[499 + i], (255 - i) % 256 & 0xFF) << i;
    EXPECT_EQ(texto(900, 1200), std::string(1200, ' '));
    EXPECT_EQ(rango(2100, 60), Bytes(60, 0));
    EXPECT_EQ(texto(2160, 200), std::string(200, ' '));
    for (int k = 0; k < 10; ++k) {
        EXPECT_EQ(rango(2360 + 210 * k, 10), Bytes(10, 0)) << "column " << k + 1 << " row 20";
        if (k < 9) {
            EXPECT_EQ(texto(2370 + 210 * k, 200), std::string(200, ' ')) << "column " << k + 2;
        }
    }
    EXPECT_EQ(texto(4260, 8), "1.01    ");
}

TEST_F(Archivos, SaveCutsLongTextsAndTakesTheEngineEventsOutsideFileMode)
{
    archivos.Nombre_Rele = std::string(25, 'N');
    archivos.Observaciones = std::string(130, 'o');
    archivos.Firmware_Rele = "1.0123456789";
    enlace.decodificados[84] = "3,Trip,15/01/2024 10:00:00";
    enlace.decodificados[84 + 19] = "row19";
    enlace.decodificados[84 + 20 * 1 + 0] = "12.5";
    enlace.decodificados[84 + 20 * 10 + 19] = "0.123456789012";
    ASSERT_TRUE(archivos.Grabar_Archivo(ruta("b.KOVA2")));
    const Bytes b = leerTodo(ruta("b.KOVA2"));
    auto texto = [&](std::size_t desde, std::size_t n) { return std::string(b.begin() + desde, b.begin() + desde + n); };
    EXPECT_EQ(texto(78, 20), std::string(20, 'N'));
    EXPECT_EQ(texto(98, 100), std::string(100, 'o'));
    EXPECT_EQ(texto(4260, 8), "1.012345");
    EXPECT_EQ(texto(900, 60), "3,Trip,15/01/2024 10:00:00" + std::string(34, ' '));
    EXPECT_EQ(texto(900 + 60 * 19, 60), "row19" + std::string(55, ' '));
    EXPECT_EQ(texto(2160, 10), "12.5      ");
    EXPECT_EQ(texto(2160 + 210 * 9 + 10 * 19, 10), "0.12345678");
}

TEST_F(Archivos, HandMadeFileLoadsIntoImagesTextsAndEvents)
{
    escribirTodo(ruta("hecho.KOVA2"), archivoAMano());
    enlace.get.fill(0xEE);
    ventana.direccion = 1;

    ASSERT_TRUE(archivos.Leer_Archivo(ruta("hecho.KOVA2")));
    // Its Put bytes put settings outside their ranges: loaded all the same, and said.
    ASSERT_EQ(ventana.mensajes.size(), 1u);
    EXPECT_EQ(ventana.mensajes[0].texto, Manejo_de_Archivos::Texto_Fuera_De_Rango);
    EXPECT_TRUE(archivos.Archivo_Cargado);
    EXPECT_TRUE(archivos.Datos_De_Archivo);

    EXPECT_EQ(archivos.Programador, "Jos\u00E9" + std::string(16, ' '));
    EXPECT_EQ(archivos.Nombre_Rele, "Feeder 7" + std::string(12, ' '));
    EXPECT_EQ(archivos.Observaciones, "Line \u20AC note" + std::string(89, ' '));
    EXPECT_EQ(archivos.Firmware_Rele, "1.05    ");
    EXPECT_EQ(archivos.Fecha_Texto, "15/1/2024");
    for (int i = 0; i < 301; ++i)
        ASSERT_EQ(enlace.put[i], i % 256) << i;
    EXPECT_EQ(enlace.get, enlace.put);
    for (int i = 0; i < 401; ++i)
        ASSERT_EQ(enlace.actual[i], (255 - i) % 256 & 0xFF) << i;

    EXPECT_EQ(archivos.Eventos.Eventos_Texto[0], "12, Phase Overcurrent ,15/01/2024 10:20:30");
    EXPECT_EQ(archivos.Eventos.Eventos_Texto[19], "1,x");
    EXPECT_EQ(archivos.Eventos.Eventos_Texto[1], "");
    EXPECT_EQ(archivos.Eventos.Eventos_IA[0], "123.45");
    EXPECT_EQ(archivos.Eventos.Eventos_FP[19], "0.98");
    EXPECT_EQ(archivos.Eventos.Eventos_FP[0], "");

    // Offline, dispatching stopped, images in, then Get := Put.
    EXPECT_EQ(enlace.llamadas, (std::vector<std::string>{"modo", "put", "actual", "get"}));
    EXPECT_FALSE(enlace.comunicando);
    EXPECT_TRUE(enlace.detener);
    // The address byte of the file does not become the slave address.
    EXPECT_EQ(enlace.put[46], 46);
    EXPECT_EQ(ventana.paneles[5], "Address:  1");
    EXPECT_EQ(ventana.paneles[6], "Not Communicating..");
    EXPECT_EQ(ventana.titulo, "KOVA Ver 2.1.4 For KOVA Relays V1.xx - " + ruta("hecho.KOVA2"));
}

// A good file loaded while a setpoint page's form cannot be used: loaded, and the form named as the fault, with its
// path and the reason, not the file's settings.
TEST_F(Archivos, FormThatCannotBeUsedIsNamedNotTheFile)
{
    const SetpointImage sim = test::simSetpoints();
    std::copy(sim.begin(), sim.end(), enlace.put.begin());
    ASSERT_TRUE(archivos.Grabar_Archivo(ruta("bueno.KOVA2")));
    ASSERT_TRUE(archivos.Leer_Archivo(ruta("bueno.KOVA2")));
    ASSERT_TRUE(ventana.mensajes.empty());
    QTemporaryDir forms;
    escribirTodo(forms.filePath("SETPAGE13.json").toStdString(), {'{'});
    qputenv("KOVA_FORMS_DIR", forms.path().toUtf8());
    EXPECT_TRUE(archivos.Leer_Archivo(ruta("bueno.KOVA2")));
    qunsetenv("KOVA_FORMS_DIR");
    ASSERT_EQ(ventana.mensajes.size(), 1u);
    EXPECT_EQ(ventana.mensajes[0].texto, Manejo_de_Archivos::Texto_Forma_Inservible);
    EXPECT_EQ(ventana.mensajes[0].texto,
              "A setpoint page's form could not be used, so the file's settings could not be checked");
    EXPECT_EQ(ventana.mensajes[0].detalle,
              forms.filePath("SETPAGE13.json").toStdString() + ": (text): unterminated object at offset 1");
    EXPECT_TRUE(archivos.Archivo_Cargado);
}

TEST_F(Archivos, RoundTripKeepsImagesTextsAndEvents)
{
    escribirTodo(ruta("origen.KOVA2"), archivoAMano());
    ASSERT_TRUE(archivos.Leer_Archivo(ruta("origen.KOVA2")));
    const Estado cargado = estado();

    ASSERT_TRUE(archivos.Grabar_Archivo(ruta("copia.KOVA2")));
    const Bytes copia = leerTodo(ruta("copia.KOVA2"));
    ASSERT_EQ(copia.size(), 4268u);

    // Load into a fresh program: the same images, header texts and events.
    Enlace_Falso enlace2;
    Ventana_Falsa ventana2;
    Manejo_de_Archivos archivos2(enlace2, ventana2);
    archivos2.usarReloj([] { return Fecha_Civil{2024, 1, 15}; });
    ASSERT_TRUE(archivos2.Leer_Archivo(ruta("copia.KOVA2")));
    EXPECT_EQ(enlace2.put, cargado.put);
    EXPECT_EQ(enlace2.get, cargado.put);
    EXPECT_EQ(enlace2.actual, cargado.actual);
    EXPECT_EQ(archivos2.Programador, cargado.programador);
    EXPECT_EQ(archivos2.Nombre_Rele, cargado.nombre);
    EXPECT_EQ(archivos2.Observaciones, cargado.observaciones);
    EXPECT_EQ(archivos2.Firmware_Rele, cargado.firmware);
    EXPECT_EQ(archivos2.Eventos, cargado.eventos);

    // Saving again gives the same bytes; row 20 came from the first file
    // through the record in memory and is kept by both saves.
    ASSERT_TRUE(archivos.Grabar_Archivo(ruta("otra.KOVA2")));
    EXPECT_EQ(leerTodo(ruta("otra.KOVA2")), copia);
    EXPECT_EQ(std::string(copia.begin() + 900 + 1200, copia.begin() + 900 + 1210), "row twenty");
    EXPECT_EQ(std::string(copia.begin() + 4250, copia.begin() + 4254), "9999");
}

TEST_F(Archivos, SaveInFileModeKeepsTheLoadedEventsNotTheEngineTable)
{
    escribirTodo(ruta("b.KOVA2"), archivoAMano());
    // Events of another relay read in an earlier session.
    enlace.decodificados[84] = "99,Other relay,01/01/2020 00:00:00";
    enlace.decodificados[84 + 20] = "777";
    ASSERT_TRUE(archivos.Leer_Archivo(ruta("b.KOVA2")));
    ASSERT_TRUE(archivos.Grabar_Archivo(ruta("b2.KOVA2")));
    Bytes b = leerTodo(ruta("b2.KOVA2"));
    EXPECT_EQ(std::string(b.begin() + 900, b.begin() + 960).substr(0, 42),
              "12, Phase Overcurrent ,15/01/2024 10:20:30");
    EXPECT_EQ(std::string(b.begin() + 2160, b.begin() + 2170), "123.45    ");

    // Once the data comes from the relay, the engine's table is saved.
    archivos.Datos_De_Archivo = false;
    ASSERT_TRUE(archivos.Grabar_Archivo(ruta("b3.KOVA2")));
    b = leerTodo(ruta("b3.KOVA2"));
    EXPECT_EQ(std::string(b.begin() + 900, b.begin() + 934), "99,Other relay,01/01/2020 00:00:00");
    EXPECT_EQ(std::string(b.begin() + 2160, b.begin() + 2170), "777       ");
}

struct Rechazo
{
    const char* nombre;
    std::function<void(const std::string&)> preparar;
    std::string detalle; // after the path in the box's detail line
};

TEST_F(Archivos, ShortForeignEmptyAndMissingFilesChangeNothing)
{
    // A loaded file first, so that there is state to keep.
    escribirTodo(ruta("bueno.KOVA2"), archivoAMano());
    ASSERT_TRUE(archivos.Leer_Archivo(ruta("bueno.KOVA2")));
    enlace.comunicando = true;  // as after a later connect
    enlace.detener = false;
    archivos.Datos_De_Archivo = false;

    const std::vector<Rechazo> casos = {
        {"empty", [](const std::string& r) { escribirTodo(r, {}); }, ": file is 0 bytes, a KOVA2 file has 4268"},
        {"100 bytes", [](const std::string& r) { Bytes b = archivoAMano(); b.resize(100); escribirTodo(r, b); },
         ": file is 100 bytes, a KOVA2 file has 4268"},
        {"1000 bytes", [](const std::string& r) { Bytes b = archivoAMano(); b.resize(1000); escribirTodo(r, b); },
         ": file is 1000 bytes, a KOVA2 file has 4268"},
        {"4267 bytes", [](const std::string& r) { Bytes b = archivoAMano(); b.resize(4267); escribirTodo(r, b); },
         ": file is 4267 bytes, a KOVA2 file has 4268"},
        {"KOVA3", [](const std::string& r) { Bytes b = archivoAMano(); b[4] = '3'; escribirTodo(r, b); }, ""},
        {"zero signature", [](const std::string& r) { Bytes b = archivoAMano(); std::fill_n(b.begin(), 50, 0); escribirTodo(r, b); }, ""},
        {"missing", [](const std::string&) {}, std::string(": ") + std::strerror(ENOENT)},
    };
    for (const auto& caso : casos) {
        SCOPED_TRACE(caso.nombre);
        const std::string r = ruta("rechazo.KOVA2");
        std::remove(r.c_str());
        caso.preparar(r);
        const bool existia = QFileInfo::exists(QString::fromStdString(r));
        const Estado antes = estado();
        enlace.llamadas.clear();
        ventana.mensajes.clear();
        archivos.Archivo_Cargado = true;

        EXPECT_FALSE(archivos.Leer_Archivo(r));
        EXPECT_EQ(estado(), antes);
        EXPECT_TRUE(enlace.llamadas.empty());
        EXPECT_FALSE(archivos.Archivo_Cargado);
        ASSERT_EQ(ventana.mensajes.size(), 1u);
        EXPECT_EQ(ventana.mensajes[0].texto, "It isn't KOVA File");
        EXPECT_EQ(ventana.mensajes[0].titulo, "KOVA");
        EXPECT_EQ(ventana.mensajes[0].detalle, r + caso.detalle);
        // Reading never creates a file.
        EXPECT_EQ(QFileInfo::exists(QString::fromStdString(r)), existia);
    }
}

TEST_F(Archivos, SignatureWithBlanksAndLongerFilesAreAccepted)
{
    Bytes b = archivoAMano();
    ponerAscii(b, 0, " KOVA2");
    b.resize(5000, 0xAB);
    escribirTodo(ruta("largo.KOVA2"), b);
    ASSERT_TRUE(archivos.Leer_Archivo(ruta("largo.KOVA2")));
    EXPECT_EQ(archivos.Firmware_Rele, "1.05    ");
    EXPECT_EQ(enlace.put[300], 300 % 256);
}

TEST_F(Archivos, DamagedDateLoadsWithAnEmptyDateText)
{
    const double malos[] = {std::numeric_limits<double>::quiet_NaN(),
                            std::numeric_limits<double>::infinity(), -657435.0, 2958466.0, 1e300};
    for (double d : malos) {
        SCOPED_TRACE(d);
        Bytes b = archivoAMano();
        std::memcpy(b.data() + 50, &d, 8);
        escribirTodo(ruta("fecha.KOVA2"), b);
        archivos.Fecha_Texto = "old";
        ASSERT_TRUE(archivos.Leer_Archivo(ruta("fecha.KOVA2")));
        EXPECT_EQ(archivos.Fecha_Texto, "");
    }
}

TEST_F(Archivos, UnreadableFileShowsTheReadError)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir("carpeta.KOVA2"));
    const Estado antes = estado();
    EXPECT_FALSE(archivos.Leer_Archivo(ruta("carpeta.KOVA2")));
    EXPECT_EQ(estado(), antes);
    ASSERT_EQ(ventana.mensajes.size(), 1u);
    EXPECT_EQ(ventana.mensajes[0].texto, "Error reading file");
    EXPECT_EQ(ventana.mensajes[0].icono, IVentana_Archivos::Icono::Critico);
    EXPECT_EQ(ventana.mensajes[0].detalle, ruta("carpeta.KOVA2") + ": " + std::strerror(EISDIR));
}

// A save that fails at any step (a write part-way, the sync, the close, as a
// full disk fails them) leaves the old file byte for byte, no temporary file,
// and names the system's reason.
TEST_F(Archivos, FailedSaveLeavesTheOldFileAndReportsIt)
{
    const std::string r = ruta("viejo.KOVA2");
    const Bytes viejo = archivoAMano();
    escribirTodo(r, viejo);
    using Paso = FileWriteFault::Step;
    const std::tuple<Paso, std::size_t, int> casos[] = {
        {Paso::Write, 0, ENOSPC}, {Paso::Write, 1000, ENOSPC}, {Paso::Write, 4267, EFBIG}, {Paso::Close, 0, EIO}};
    for (const auto& [paso, antes, error] : casos) {
        SCOPED_TRACE(antes);
        ventana.mensajes.clear();
        archivos.Archivo_Guardado = false;
        const FileWriteFault falla(paso, error, antes);
        EXPECT_FALSE(archivos.Grabar_Archivo(r));
        EXPECT_FALSE(archivos.Archivo_Guardado);
        EXPECT_EQ(leerTodo(r), viejo);
        ASSERT_EQ(ventana.mensajes.size(), 1u);
        EXPECT_EQ(ventana.mensajes[0].texto, "Error writing file");
        EXPECT_EQ(ventana.mensajes[0].titulo, "KOVA");
        EXPECT_EQ(ventana.mensajes[0].icono, IVentana_Archivos::Icono::Critico);
        EXPECT_EQ(ventana.mensajes[0].detalle, r + ": " + std::strerror(error));
        EXPECT_EQ(test::folderNames(dir.path()), QStringList{"viejo.KOVA2"});
    }
}

// The same on a real file system that is full.
TEST_F(Archivos, SaveOnAFullFileSystemLeavesTheOldFile)
{
    const test::SmallTmpfs lleno(64);
    if (!lleno.mounted())
        GTEST_SKIP() << "no tmpfs can be mounted here";
    const std::string r = lleno.filePath("old.KOVA2").toStdString();
    const Bytes viejo = archivoAMano();
    escribirTodo(r, viejo);
    ASSERT_TRUE(lleno.fill());
    EXPECT_FALSE(archivos.Grabar_Archivo(r));
    EXPECT_EQ(leerTodo(r), viejo);
    ASSERT_EQ(ventana.mensajes.size(), 1u);
    EXPECT_EQ(ventana.mensajes[0].detalle, r + ": " + std::strerror(ENOSPC));
    EXPECT_EQ(test::folderNames(lleno.path()), QStringList({".filler", "old.KOVA2"}));
}

TEST_F(Archivos, SaveOverALongerFileLeavesExactlyOneRecord)
{
    const std::string r = ruta("largo.KOVA2");
    escribirTodo(r, Bytes(5000, 0x55));
    ASSERT_TRUE(archivos.Grabar_Archivo(r));
    EXPECT_EQ(leerTodo(r).size(), 4268u);
}

TEST_F(Archivos, SaveIntoAMissingFolderFails)
{
    EXPECT_FALSE(archivos.Grabar_Archivo(ruta("no/such/folder.KOVA2")));
    ASSERT_EQ(ventana.mensajes.size(), 1u);
    EXPECT_EQ(ventana.mensajes[0].texto, "Error writing file");
    EXPECT_EQ(ventana.mensajes[0].detalle, ruta("no/such/folder.KOVA2") + ": " + std::strerror(ENOENT));
}

static mode_t modo(const std::string& r)
{
    struct stat st {};
    return ::stat(r.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

// Whoever runs the program (root too): a file without write permission bits
// is refused and left as it was; a writable one is replaced and keeps its
// permission bits.
TEST_F(Archivos, SaveFollowsThePermissionBitsAndKeepsThem)
{
    struct Caso {
        mode_t modo;
        bool guarda;
    };
    const Caso casos[] = {{0444, false}, {0400, false}, {0640, true}, {0600, true}, {0664, true}, {0200, true}};
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.modo);
        const std::string r = ruta("permisos.KOVA2");
        ::chmod(r.c_str(), 0600);
        std::remove(r.c_str());
        const Bytes viejo = archivoAMano();
        escribirTodo(r, viejo);
        ASSERT_EQ(::chmod(r.c_str(), c.modo), 0);
        ventana.mensajes.clear();

        EXPECT_EQ(archivos.Grabar_Archivo(r), c.guarda);
        EXPECT_EQ(modo(r), c.modo);
        if (c.guarda) {
            EXPECT_TRUE(ventana.mensajes.empty());
            ::chmod(r.c_str(), 0600);
            EXPECT_NE(leerTodo(r), viejo);
        } else {
            ASSERT_EQ(ventana.mensajes.size(), 1u);
            EXPECT_EQ(ventana.mensajes[0].texto, "Error writing file");
            EXPECT_EQ(ventana.mensajes[0].detalle, r + ": read-only");
            ::chmod(r.c_str(), 0600);
            EXPECT_EQ(leerTodo(r), viejo);
        }
        EXPECT_EQ(test::folderNames(dir.path()), QStringList{"permisos.KOVA2"});
    }
}

TEST_F(Archivos, SaveAsRootKeepsTheFileOwner)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can give a file to another user";
    const std::string r = ruta("ajeno.KOVA2");
    escribirTodo(r, archivoAMano());
    ASSERT_EQ(::chown(r.c_str(), 65534, 65534), 0);
    ASSERT_TRUE(archivos.Grabar_Archivo(r));
    struct stat st {};
    ASSERT_EQ(::stat(r.c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, 65534u);
    EXPECT_EQ(st.st_gid, 65534u);
}

TEST_F(Archivos, DialogsCancelQuietlyAndRunTheRoutinesOnAChoice)
{
    archivos.Archivo_Cargado = true;
    archivos.Archivo_Guardado = true;
    const Estado antes = estado();
    archivos.Abrir_Setpoints();
    archivos.Guardar_Setpoints();
    EXPECT_EQ(estado(), antes);
    EXPECT_FALSE(archivos.Archivo_Cargado);
    EXPECT_TRUE(archivos.Archivo_Guardado);
    EXPECT_TRUE(ventana.mensajes.empty());

    ventana.guardar = ruta("d.KOVA2");
    archivos.Guardar_Setpoints();
    EXPECT_TRUE(archivos.Archivo_Guardado);
    ventana.abrir = ruta("d.KOVA2");
    archivos.Abrir_Setpoints();
    EXPECT_TRUE(archivos.Archivo_Cargado);
    EXPECT_EQ(ventana.titulo, "KOVA Ver 2.1.4 For KOVA Relays V1.xx - " + ruta("d.KOVA2"));
}

TEST_F(Archivos, TitleNamesTheFileLastSaved)
{
    ASSERT_TRUE(archivos.Grabar_Archivo(ruta("a.KOVA2")) && archivos.Leer_Archivo(ruta("a.KOVA2")));
    archivos.Grabar_Archivo(ruta("b.KOVA2"));
    EXPECT_EQ(ventana.titulo, "KOVA Ver 2.1.4 For KOVA Relays V1.xx - " + ruta("b.KOVA2"));
}

TEST(Cp1252, EncodesAndDecodesTheWindowsCharacterSet)
{
    struct Caso { const char* utf8; std::string bytes; };
    const Caso casos[] = {
        {"A\u00F1o", "\x41\xF1\x6F"},
        {"\u20AC", "\x80"},
        {"\u6F22", "?"},
        {"\u0152\u2122\u00FF", "\x8C\x99\xFF"},
        {"\u0081", "\x81"},
    };
    for (const auto& c : casos) {
        EXPECT_EQ(cp1252::codificar(c.utf8), c.bytes) << c.utf8;
        if (c.bytes != "?") {
            EXPECT_EQ(cp1252::decodificar(c.bytes), c.utf8);
        }
    }
    EXPECT_EQ(cp1252::codificar("\xC3"), "?");  // cut UTF-8 sequence
    EXPECT_EQ(cp1252::ajustar("A\u00F1o", 5), "A\u00F1o  ");
    EXPECT_EQ(cp1252::ajustar("\u20AC\u20AC\u20AC", 2), "\u20AC\u20AC");
    EXPECT_EQ(cp1252::recortar("  a b \t "), "a b \t");
}

TEST_F(Archivos, TextsTravelInWindows1252)
{
    archivos.Programador = "A\u00F1o";
    archivos.Nombre_Rele = "\u20AC";
    archivos.Observaciones = "\u6F22";
    ASSERT_TRUE(archivos.Grabar_Archivo(ruta("t.KOVA2")));
    const Bytes b = leerTodo(ruta("t.KOVA2"));
    EXPECT_EQ(Bytes(b.begin() + 58, b.begin() + 61), (Bytes{0x41, 0xF1, 0x6F}));
    EXPECT_EQ(b[78], 0x80);
    EXPECT_EQ(b[98], 0x3F);
    ASSERT_TRUE(archivos.Leer_Archivo(ruta("t.KOVA2")));
    EXPECT_EQ(archivos.Programador, "A\u00F1o" + std::string(17, ' '));
    EXPECT_EQ(archivos.Nombre_Rele, "\u20AC" + std::string(19, ' '));
    EXPECT_EQ(archivos.Observaciones, "?" + std::string(99, ' '));
}

TEST(Fecha_Archivo, DayNumbersOfTheSaveDate)
{
    struct Caso { Fecha_Civil fecha; double dias; };
    const Caso casos[] = {
        {{2024, 1, 15}, 45306.0}, {{1899, 12, 30}, 0.0}, {{1900, 3, 1}, 61.0},
        {{100, 1, 1}, -657434.0}, {{9999, 12, 31}, 2958465.0}, {{2000, 2, 29}, 36585.0},
    };
    for (const auto& c : casos) {
        EXPECT_EQ(numeroDeFecha(c.fecha), c.dias);
        EXPECT_EQ(fechaDeNumero(c.dias), c.fecha) << c.dias;
    }
    // The fraction is the time of day; before day 0 it counts after midnight.
    EXPECT_EQ(fechaDeNumero(45306.75), (Fecha_Civil{2024, 1, 15}));
    EXPECT_EQ(fechaDeNumero(-1.25), (Fecha_Civil{1899, 12, 29}));
    EXPECT_FALSE(fechaDeNumero(-657435.0));
    EXPECT_FALSE(fechaDeNumero(2958466.0));
    EXPECT_FALSE(fechaDeNumero(std::nan("")));
}

TEST(Enlace_Archivos, LoadFillsTheProgramImagesAndStopsTheLink)
{
    QTemporaryDir dir;
    const std::string r = dir.filePath("x.KOVA2").toStdString();
    escribirTodo(r, archivoAMano());
    RegisterImages imagenes;
    imagenes.get.fill(0x77);
    imagenes.devolucion.fill(0x11);
    LinkState estado;
    estado.Comunicando = true;
    KOVA200 motor(estado, imagenes);
    Enlace_Archivos enlace(imagenes, estado, motor);
    Ventana_Falsa ventana;
    Manejo_de_Archivos archivos(enlace, ventana);

    ASSERT_TRUE(archivos.Leer_Archivo(r));
    EXPECT_FALSE(estado.Comunicando);
    EXPECT_TRUE(estado.Detener_Comunicacion);
    EXPECT_EQ(imagenes.put[255], 255);
    EXPECT_EQ(imagenes.get, imagenes.put);
    EXPECT_EQ(imagenes.actual[0], 255);
    EXPECT_EQ(imagenes.devolucion[0], 0x11);
    EXPECT_EQ(archivos.Fecha_Texto, "15/01/2024");

    // Outside file mode a save takes the engine's decoded event table.
    archivos.Datos_De_Archivo = false;
    motor.relay().values.set(84, std::string("7,Trip,0 0"));
    motor.relay().values.set(84 + 20 * 6, 13800.0);  // Vab, a number
    motor.relay().values.set(84 + 20 * 10 + 1, std::string("0.95"));
    ASSERT_TRUE(archivos.Grabar_Archivo(r));
    const Bytes b = leerTodo(r);
    EXPECT_EQ(std::string(b.begin() + 900, b.begin() + 912), "7,Trip,0 0  ");
    EXPECT_EQ(std::string(b.begin() + 2160 + 210 * 5, b.begin() + 2170 + 210 * 5), "13800     ");
    EXPECT_EQ(std::string(b.begin() + 2160 + 210 * 9 + 10, b.begin() + 2170 + 210 * 9 + 10), "0.95      ");
    EXPECT_EQ(b[198 + 255], 255);
}

} // namespace
