#include "app/Ventana_Archivos_Qt.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using kova::IVentana_Archivos;
using kova::Ventana_Archivos_Qt;

class PruebaVentanaArchivos : public QObject
{
    Q_OBJECT

private:
    // Runs `accion` on the first modal window that opens, once it is shown.
    template <class T, class F>
    static void alAbrirse(F accion)
    {
        auto* t = new QTimer;
        t->setInterval(10);
        QObject::connect(t, &QTimer::timeout, [t, accion] {
            if (auto* w = qobject_cast<T*>(QApplication::activeModalWidget())) {
                t->stop();
                t->deleteLater();
                accion(w);
            }
        });
        t->start();
    }

private slots:
    void mensajesConTextoTituloEIcono_data()
    {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<int>("icono");
        QTest::addColumn<int>("esperado");
        QTest::newRow("foreign") << "It isn't KOVA File" << int(IVentana_Archivos::Icono::Ninguno)
                                 << int(QMessageBox::NoIcon);
        QTest::newRow("write") << "Error writing file" << int(IVentana_Archivos::Icono::Critico)
                               << int(QMessageBox::Critical);
    }
    void mensajesConTextoTituloEIcono()
    {
        QFETCH(QString, texto);
        QFETCH(int, icono);
        QFETCH(int, esperado);
        QWidget padre;
        Ventana_Archivos_Qt ventana(&padre);
        QString visto, titulo;
        int iconoVisto = -1;
        alAbrirse<QMessageBox>([&](QMessageBox* caja) {
            visto = caja->text();
            titulo = caja->windowTitle();
            iconoVisto = caja->icon();
            caja->accept();
        });
        ventana.mensaje(texto.toStdString(), "KOVA", static_cast<IVentana_Archivos::Icono>(icono));
        QCOMPARE(visto, texto);
        QCOMPARE(titulo, QStringLiteral("KOVA"));
        QCOMPARE(iconoVisto, esperado);
    }

    void dialogoAbrirMuestraAmbasExtensiones()
    {
        QTemporaryDir dir;
        const QString ruta = dir.filePath(QStringLiteral("minus.kova2"));
        QFile f(ruta);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();

        QWidget padre;
        Ventana_Archivos_Qt ventana(&padre);
        QStringList filtros;
        alAbrirse<QFileDialog>([&](QFileDialog* d) {
            filtros = d->nameFilters();
            d->selectFile(ruta);
            static_cast<QDialog*>(d)->accept();
        });
        const auto elegida = ventana.elegirArchivoAbrir();
        QCOMPARE(filtros.value(0), QStringLiteral("KOVA Files (*.KOVA2 *.kova2)"));
        QCOMPARE(filtros.size(), 2);
        QVERIFY(elegida.has_value());
        QCOMPARE(QString::fromStdString(*elegida), ruta);
    }

    void cancelarNoDevuelveNada()
    {
        QWidget padre;
        Ventana_Archivos_Qt ventana(&padre);
        QFileDialog::Options opciones;
        alAbrirse<QFileDialog>([&](QFileDialog* d) {
            opciones = d->options();
            d->reject();
        });
        QVERIFY(!ventana.elegirArchivoGuardar().has_value());
        // An existing file is only replaced after the user says so.
        QVERIFY(!opciones.testFlag(QFileDialog::DontConfirmOverwrite));
    }
};

QTEST_MAIN(PruebaVentanaArchivos)
#include "tst_Ventana_Archivos_Qt.moc"
