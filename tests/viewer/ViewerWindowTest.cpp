#include "viewer/ViewerWindow.h"
#include "viewer/HexView.h"
#include "viewer/ImageView.h"
#include "viewer/PagedFile.h"
#include "viewer/TextView.h"

#include "support/TemporaryDirectory.h"

#include <QImage>
#include <QScrollBar>
#include <QTest>

#include <filesystem>
#include <memory>
#include <sys/stat.h>

using namespace quarvo::viewer;
using quarvo::testing::TemporaryDirectory;
using quarvo::testing::writeFile;
namespace fs = std::filesystem;

class ViewerWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TemporaryDirectory> m_directory;

    // A window over the file name in the temporary directory, holding bytes unless it exists already.
    std::unique_ptr<ViewerWindow> open(const std::string& name, const std::string& bytes = {})
    {
        const std::string path = m_directory->file(name);
        if (!fs::exists(path))
            writeFile(path, bytes);
        auto file = PagedFile::open(QString::fromStdString(path));
        if (!file) {
            qWarning("cannot open %s: %s", path.c_str(), qPrintable(file.error()));
            return nullptr;
        }
        auto window = std::make_unique<ViewerWindow>(std::move(*file));
        window->show();
        return QTest::qWaitForWindowExposed(window.get()) ? std::move(window) : nullptr;
    }

private slots:
    void init() { m_directory = std::make_unique<TemporaryDirectory>(); }
    void cleanup() { m_directory.reset(); }

    void textIsShownInTheEncodingItWasWrittenIn()
    {
        struct Case {
            const char* name;
            std::string bytes;
            QString text;
            QString encoding;
        };
        const Case cases[] = {
            {"plain.txt", "gr\xC3\xBC\xC3\x9Fli\r\nzweite Zeile\n", u"grüßli\nzweite Zeile\n"_qs, "UTF-8"},
            {"bom.txt", "\xEF\xBB\xBFpi\xC3\xB1on", u"piñon"_qs, "UTF-8 with BOM"},
            {"le.txt", std::string("\xFF\xFE\xE9\0\r\0\n\0", 8), u"é\n"_qs, "UTF-16 LE"},
            {"be.txt", std::string("\xFE\xFF\x20\xAC\0!", 6), u"€!"_qs, "UTF-16 BE"},
            {"old.txt", "\x93quoted\x94 \x80 5 caf\xE9", u"“quoted” € 5 café"_qs, "Windows-1252"},
        };
        for (const Case& test : cases) {
            auto window = open(test.name, test.bytes);
            QVERIFY(window);
            QVERIFY2(window->textView(), test.name);
            QVERIFY(!window->hexView() && !window->imageView());
            QCOMPARE(window->textView()->toPlainText(), test.text);
            QCOMPARE(window->windowTitle(), QString::fromLatin1(test.name) + " - Quarvo Viewer");
            const QString status = window->statusText();
            QVERIFY2(status.startsWith(QString::number(test.bytes.size()) + " bytes"), qPrintable(status));
            QVERIFY2(status.contains("Text, " + test.encoding), qPrintable(status));
            QVERIFY2(!status.contains("MiB"), qPrintable(status));
        }
    }

    void binaryIsShownAsAHexDump()
    {
        const std::string bytes = std::string("\177ELF\x02\x01\x01\0", 8) + "0123456789";
        auto window = open("program", bytes);
        QVERIFY(window);
        QVERIFY(window->hexView() && !window->textView());
        HexView& view = *window->hexView();
        QCOMPARE(view.lineCount(), qint64(2));
        QCOMPARE(view.lineText(0),
                 "00000000  7f 45 4c 46 02 01 01 00  30 31 32 33 34 35 36 37  .ELF....01234567");
        QCOMPARE(view.lineText(1), "00000010  38 39" + QString(45, u' ') + "89");
        QVERIFY(view.lineText(2).isEmpty());
        QVERIFY2(window->statusText().startsWith("18 bytes    Binary, shown in hex"),
                 qPrintable(window->statusText()));
    }

    void aHugeFileIsReadOnlyWhereItIsShown()
    {
        // A sparse gibibyte of zeros: reading it whole would take memory and time the view never
        // spends, which the bytes read so far show.
        constexpr qint64 size = qint64(1) << 30;
        writeFile(m_directory->file("huge.bin"), "");
        fs::resize_file(m_directory->file("huge.bin"), size);
        auto window = open("huge.bin");
        QVERIFY(window);
        QVERIFY(window->hexView());
        HexView& view = *window->hexView();
        QCOMPARE(view.lineCount(), size / 16);
        QCOMPARE(view.lineText(0),
                 "00000000  00 00 00 00 00 00 00 00  00 00 00 00 00 00 00 00  ................");

        view.setFocus();
        QTest::keyClick(&view, Qt::Key_End);
        QVERIFY(view.verticalScrollBar()->value() > 0);
        QCOMPARE(view.topLine() + view.viewport()->height() / view.fontMetrics().lineSpacing(),
                 view.lineCount());
        QVERIFY(view.lineText(view.lineCount() - 1).startsWith("3ffffff0  00 00 00"));
        view.viewport()->repaint();
        QVERIFY2(window->file().bytesRead() < 1024 * 1024,
                 qPrintable(QString::number(window->file().bytesRead())));
    }

    void longTextShowsItsFirstPartAndSaysSo()
    {
        const std::string line = "a line of text that repeats\n";
        std::string text;
        while (text.size() <= std::size_t(TextShownLimit) + 1024 * 1024)
            text += line;
        auto window = open("long.txt", text);
        QVERIFY(window);
        QVERIFY(window->textView());
        QVERIFY2(window->statusText().contains("Only the first 8 MiB are shown."),
                 qPrintable(window->statusText()));
        QCOMPARE(window->textView()->toPlainText().size(), TextShownLimit);
        QVERIFY(window->file().bytesRead() <= TextShownLimit + qint64(SniffBlockSize));
    }

    void imagesAreShownAndBrokenOnesFallBackToTheirBytes()
    {
        QImage image(40, 30, QImage::Format_RGB32);
        image.fill(Qt::red);
        QVERIFY(image.save(QString::fromStdString(m_directory->file("picture.png")), "PNG"));
        auto window = open("picture.png");
        QVERIFY(window);
        QVERIFY(window->imageView() && !window->hexView() && !window->textView());
        QCOMPARE(window->imageView()->image().size(), QSize(40, 30));
        QVERIFY2(window->statusText().contains("Image, 40 x 30 pixels"), qPrintable(window->statusText()));
        // Small enough to fit: actual size either way; "Z" switches.
        QCOMPARE(window->imageView()->scale(), 1.0);
        window->imageView()->setFocus();
        QTest::keyClick(window->imageView(), Qt::Key_Z);
        QVERIFY(!window->imageView()->fitsToWindow());
        QVERIFY2(window->statusText().contains("actual size"), qPrintable(window->statusText()));

        auto broken = open("broken.png", std::string("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16) + "garbage");
        QVERIFY(broken);
        QVERIFY(broken->hexView() && !broken->imageView());
        QVERIFY2(broken->statusText().contains("Not shown as a PNG image"), qPrintable(broken->statusText()));
    }

    void largeImagesAreFittedIntoTheWindow()
    {
        QImage image(4000, 3000, QImage::Format_RGB32);
        image.fill(Qt::blue);
        QVERIFY(image.save(QString::fromStdString(m_directory->file("large.png")), "PNG"));
        auto window = open("large.png");
        QVERIFY(window && window->imageView());
        QVERIFY(window->imageView()->scale() < 0.5);
        window->imageView()->setFitToWindow(false);
        QCOMPARE(window->imageView()->scale(), 1.0);
    }

    void whatCannotBeOpenedIsRefusedWithItsReason()
    {
        QVERIFY(::mkfifo(m_directory->file("pipe").c_str(), 0600) == 0);
        fs::create_directories(m_directory->file("folder"));
        struct Case {
            std::string path;
            QString reason;
        };
        const Case cases[] = {
            {m_directory->file("missing.txt"), "No such file or directory"},
            {m_directory->file("folder"), "Is a directory"},
            // A pipe with no writer would block a reader; it is refused without waiting.
            {m_directory->file("pipe"), "Not a regular file"},
            {"/dev/zero", "Not a regular file"},
        };
        for (const Case& test : cases) {
            auto file = PagedFile::open(QString::fromStdString(test.path));
            QVERIFY2(!file, test.path.c_str());
            QCOMPARE(file.error(), test.reason);
        }
    }

    void escapeClosesTheWindow()
    {
        auto window = open("note.txt", "hello\n");
        QVERIFY(window);
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        QTest::keyClick(window->textView(), Qt::Key_Escape);
        QVERIFY(!window->isVisible());
    }
};

QTEST_MAIN(ViewerWindowTest)
#include "ViewerWindowTest.moc"
