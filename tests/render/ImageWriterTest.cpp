// Saving the bit map: every format written and read back with its own library, the errors, and
// that a failed save keeps the file that was there.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <png.h>
#include <sys/stat.h>
#include <tiffio.h>
#include <unistd.h>

#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
// jpeglib.h needs size_t and FILE declared before it.
// clang-format off
#include <jpeglib.h>
// clang-format on

#include "ReferenceBitmap.h"
#include "core/Errors.h"
#include "render/SaveImage.h"

using namespace zandrel;
using namespace zandrel::testing;
namespace fs = std::filesystem;

namespace {

Raster ReadPng(const std::string& path) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    Raster out;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return out;
    image.format = PNG_FORMAT_RGB;
    out.Allocate(static_cast<int32_t>(image.width), static_cast<int32_t>(image.height));
    png_image_finish_read(&image, nullptr, out.row(0), 0, nullptr);
    return out;
}

Raster ReadTiff(const std::string& path) {
    Raster out;
    TIFF* tiff = TIFFOpen(path.c_str(), "r");
    if (!tiff) return out;
    uint32_t width = 0, height = 0;
    TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &height);
    std::vector<uint32_t> abgr(size_t{width} * height);
    if (TIFFReadRGBAImageOriented(tiff, width, height, abgr.data(), ORIENTATION_TOPLEFT, 0)) {
        out.Allocate(static_cast<int32_t>(width), static_cast<int32_t>(height));
        for (size_t i = 0; i < abgr.size(); ++i) {
            uint8_t* p = out.row(0) + 3 * i;
            p[0] = static_cast<uint8_t>(TIFFGetR(abgr[i]));
            p[1] = static_cast<uint8_t>(TIFFGetG(abgr[i]));
            p[2] = static_cast<uint8_t>(TIFFGetB(abgr[i]));
        }
    }
    TIFFClose(tiff);
    return out;
}

Raster ReadJpeg(const std::string& path) {
    Raster out;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return out;
    jpeg_decompress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, file);
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    out.Allocate(static_cast<int32_t>(info.output_width), static_cast<int32_t>(info.output_height));
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = out.row(static_cast<int32_t>(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    std::fclose(file);
    return out;
}

uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (uint32_t{b[at + 3]} << 24);
}

Raster ReadBmp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    Raster out;
    if (bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M' || Le32(bytes, 2) != bytes.size()) return out;
    const int32_t width = static_cast<int32_t>(Le32(bytes, 18)),
                  height = static_cast<int32_t>(Le32(bytes, 22));
    const size_t offset = Le32(bytes, 10), rowBytes = (3 * static_cast<size_t>(width) + 3) & ~size_t{3};
    if (bytes[28] != 24 || offset + rowBytes * static_cast<size_t>(height) != bytes.size()) return out;
    out.Allocate(width, height);
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t* bgr = bytes.data() + offset + rowBytes * static_cast<size_t>(height - 1 - y);
        for (int32_t x = 0; x < width; ++x) {
            uint8_t* p = out.row(y) + 3 * x;
            p[0] = bgr[3 * x + 2];
            p[1] = bgr[3 * x + 1];
            p[2] = bgr[3 * x];
        }
    }
    return out;
}

int MaxDifference(const Raster& a, const Raster& b) {
    int most = 0;
    for (int32_t y = 0; y < a.height(); ++y) {
        for (size_t i = 0; i < a.stride(); ++i) most = std::max(most, std::abs(a.row(y)[i] - b.row(y)[i]));
    }
    return most;
}

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Gives `failAt` rows of a raster, then fails as a writer's source might (out of memory).
class FailingRows : public RowSource {
public:
    FailingRows(const Raster& raster, int32_t failAt) : raster_(raster), failAt_(failAt) {}
    int32_t width() const override { return raster_.width(); }
    int32_t height() const override { return raster_.height(); }
    const uint8_t* row(int32_t y) override {
        if (y == failAt_) throw Error("no more rows");
        return raster_.row(y);
    }

private:
    const Raster& raster_;
    int32_t failAt_;
};

// Claims a size without holding it, for the size checks that come before any row is read.
class ClaimedSize : public RowSource {
public:
    ClaimedSize(int32_t width, int32_t height) : width_(width), height_(height) {}
    int32_t width() const override { return width_; }
    int32_t height() const override { return height_; }
    const uint8_t* row(int32_t) override { throw Error("no rows"); }

private:
    int32_t width_, height_;
};

class ImageWriterTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("zandrel-image-test-" + std::to_string(::getpid()) + "-" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        Layout layout;
        layout.BitsPerRow = 40;
        layout.BitsPerOutput = 8;
        layout.BitSizeX = 5;
        layout.BitGap = 1;  // cells touching across, flat colour runs for JPEG too
        std::mt19937 rng(5);
        doc_ = MakeDocument(layout, 40 * 7 + 13, RandomCells(rng, 40 * 7 + 13));
        expected_ = ReferenceWhole(doc_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string path(const std::string& name) const { return (dir_ / name).string(); }
    size_t filesInDir() const { return static_cast<size_t>(std::distance(fs::directory_iterator(dir_), {})); }

    fs::path dir_;
    Document doc_;
    Raster expected_;
};

}  // namespace

TEST_F(ImageWriterTest, EveryFormatReadsBackAsTheBitmap) {
    struct Case {
        const char* name;
        Raster (*read)(const std::string&);
        int tolerance;
    } cases[] = {
        {"a.png", ReadPng, 0},   {"b.PNG", ReadPng, 0},   {"c.tif", ReadTiff, 0},
        {"d.TIFF", ReadTiff, 0}, {"e.jpg", ReadJpeg, 48}, {"f.Jpeg", ReadJpeg, 48},
        {"g.jpe", ReadJpeg, 48}, {"h.JIF", ReadJpeg, 48}, {"i.bmp", ReadBmp, 0},
    };
    for (const Case& c : cases) {
        SaveBitmapImage(doc_, path(c.name));
        const Raster back = c.read(path(c.name));
        ASSERT_EQ(back.width(), expected_.width()) << c.name;
        ASSERT_EQ(back.height(), expected_.height()) << c.name;
        EXPECT_LE(MaxDifference(back, expected_), c.tolerance) << c.name;
    }
    EXPECT_EQ(filesInDir(), std::size(cases));  // no temporary file left behind
}

TEST_F(ImageWriterTest, JpegIsCloseOnAverage) {
    SaveBitmapImage(doc_, path("mean.jpg"));
    const Raster back = ReadJpeg(path("mean.jpg"));
    ASSERT_EQ(back.width(), expected_.width());
    int64_t sum = 0;
    for (int32_t y = 0; y < back.height(); ++y) {
        for (size_t i = 0; i < back.stride(); ++i) sum += std::abs(back.row(y)[i] - expected_.row(y)[i]);
    }
    EXPECT_LT(double(sum) / (double(back.stride()) * back.height()), 4.0);
}

TEST_F(ImageWriterTest, StripesOfAnySizeGiveTheSamePicture) {
    for (const uint64_t stripeBytes : {uint64_t{1}, uint64_t{3} * 245 * 7, uint64_t{1} << 30}) {
        for (const char* name : {"s.png", "s.bmp", "s.tif"}) {
            BitmapRows rows(doc_, stripeBytes);
            SaveImage(path(name), rows);
            const std::string file = path(name);
            const Raster back = name[2] == 'p'   ? ReadPng(file)
                                : name[2] == 'b' ? ReadBmp(file)
                                                 : ReadTiff(file);
            EXPECT_TRUE(SamePixels(back, expected_)) << name << " in stripes of " << stripeBytes << " bytes";
        }
    }
}

TEST_F(ImageWriterTest, UnsupportedExtensionsAreRefusedAndNothingIsWritten) {
    const struct {
        const char* name;
        const char* message;
    } cases[] = {
        {"picture.xyz", "Unsupported image format \".xyz\". Use .png, .tif, .jpg or .bmp."},
        {"picture.gif", "Unsupported image format \".gif\". Use .png, .tif, .jpg or .bmp."},
        {"picture.png.txt", "Unsupported image format \".txt\". Use .png, .tif, .jpg or .bmp."},
        {"picture",
         "The file name \"picture\" has no extension to choose an image format. Use .png, .tif, .jpg or "
         ".bmp."},
    };
    for (const auto& c : cases) {
        try {
            SaveBitmapImage(doc_, path(c.name));
            ADD_FAILURE() << c.name << " was written";
        } catch (const Error& error) {
            EXPECT_STREQ(error.what(), c.message);
        }
    }
    EXPECT_EQ(filesInDir(), 0u);
}

TEST_F(ImageWriterTest, AFileThatCannotBeCreatedNamesItsFullPathAndTheReason) {
    const std::string target = path("missing/picture.png");
    try {
        SaveBitmapImage(doc_, target);
        FAIL() << "saved into a missing folder";
    } catch (const Error& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Cannot create file \"" + target + "\". No such file or directory");
    }
    fs::create_directory(path("taken.png"));  // the name is a folder
    try {
        SaveBitmapImage(doc_, path("taken.png"));
        FAIL() << "saved over a folder";
    } catch (const Error& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Cannot create file \"" + path("taken.png") + "\". Is a directory");
    }
    EXPECT_TRUE(fs::is_directory(path("taken.png")));
    EXPECT_EQ(filesInDir(), 1u);
}

TEST_F(ImageWriterTest, AFailedSaveKeepsTheEarlierFile) {
    for (const char* name : {"old.png", "old.tif", "old.jpg", "old.bmp"}) {
        { std::ofstream(path(name), std::ios::binary) << "earlier work"; }
        FailingRows rows(expected_, expected_.height() / 2);
        EXPECT_THROW(SaveImage(path(name), rows), Error) << name;
        EXPECT_EQ(ReadText(path(name)), "earlier work") << name;
    }
    Document broken = doc_;
    broken.BitsPerRow = 0;
    EXPECT_THROW(SaveBitmapImage(broken, path("old.png")), DivisionByZero);
    EXPECT_EQ(ReadText(path("old.png")), "earlier work");
    EXPECT_EQ(filesInDir(), 4u);
}

TEST_F(ImageWriterTest, AFileThatCannotBeReplacedAtTheEndIsReportedAsNotCreated) {
    // A folder takes the name while the picture is written, so the finished file cannot move there.
    class FolderAppears : public RasterRows {
    public:
        FolderAppears(const Raster& raster, std::string target)
            : RasterRows(raster), target_(std::move(target)) {}
        const uint8_t* row(int32_t y) override {
            if (y == height() - 1) {
                fs::create_directory(target_);
                std::ofstream(fs::path(target_) / "inside") << "x";
            }
            return RasterRows::row(y);
        }

    private:
        std::string target_;
    } rows(expected_, path("late.bmp"));
    try {
        SaveImage(path("late.bmp"), rows);
        FAIL() << "replaced a folder";
    } catch (const Error& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Cannot create file \"" + path("late.bmp") + "\". Is a directory");
    }
    EXPECT_EQ(filesInDir(), 1u);
}

// A pipe (or a device) is written into: renaming a finished file over it would destroy it.
TEST_F(ImageWriterTest, APipeGetsThePictureAndStaysAPipe) {
    const std::string pipe = path("picture.png");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const int reader = ::open(pipe.c_str(), O_RDONLY | O_NONBLOCK);  // the picture fits in the pipe
    ASSERT_GE(reader, 0);
    SaveBitmapImage(doc_, pipe);
    std::string content;
    char buffer[4096];
    for (ssize_t got = 0; (got = ::read(reader, buffer, sizeof buffer)) > 0;)
        content.append(buffer, static_cast<size_t>(got));
    ::close(reader);
    EXPECT_TRUE(fs::is_fifo(fs::symlink_status(pipe)));
    { std::ofstream(path("copy.png"), std::ios::binary) << content; }
    EXPECT_TRUE(SamePixels(ReadPng(path("copy.png")), expected_));
    EXPECT_EQ(filesInDir(), 2u);
}

TEST_F(ImageWriterTest, PicturesAFormatCannotHoldAreRefusedBeforeAnythingIsCreated) {
    ClaimedSize wideJpeg(65501, 10);
    try {
        SaveImage(path("wide.jpg"), wideJpeg);
        FAIL();
    } catch (const Error& error) {
        EXPECT_NE(std::string(error.what()).find("A JPEG image can be at most 65500 pixels"),
                  std::string::npos)
            << error.what();
    }
    ClaimedSize hugeBmp(40000, 40000);  // 4.8 GB
    EXPECT_THROW(SaveImage(path("huge.bmp"), hugeBmp), Error);
    ClaimedSize empty(6277, 0);
    EXPECT_THROW(SaveImage(path("empty.png"), empty), Error);
    EXPECT_EQ(filesInDir(), 0u);
}

TEST_F(ImageWriterTest, APictureBeyondTheRasterCapIsSavedInStripes) {
    // Two rows of four cells of 1001 x 30001 pixels: 4017 x 60013 pixels, 723 MB raw, beyond
    // the cap; the row source holds a few rows at a time.
    Layout layout;
    layout.BitSizeX = 1000;
    layout.BitSizeY = 30000;
    layout.BitGap = 2;
    layout.ColGap = 0;
    layout.BitsPerRow = 4;
    layout.BitsPerOutput = 4;
    const Document big = MakeDocument(layout, 8, {CELL_VALUE, 0, CELL_SELECTED, 5, 0, 1, 1, 0});
    const BitmapSize size = ImageSize(big);
    ASSERT_GT(uint64_t{3} * size.width * size.height, kRasterMemoryCap);
    SaveBitmapImage(big, path("big.png"));
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_file(&image, path("big.png").c_str()));
    EXPECT_EQ(image.width, static_cast<uint32_t>(size.width));
    EXPECT_EQ(image.height, static_cast<uint32_t>(size.height));
    png_image_free(&image);
}

TEST_F(ImageWriterTest, AReplacedFileKeepsItsPermissionsAndLinksStayLinks) {
    { std::ofstream(path("kept.png"), std::ios::binary) << "earlier"; }
    fs::permissions(path("kept.png"), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_symlink(path("kept.png"), path("link.png"));
    SaveBitmapImage(doc_, path("link.png"));
    EXPECT_TRUE(fs::is_symlink(path("link.png")));
    EXPECT_EQ(fs::status(path("kept.png")).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_TRUE(SamePixels(ReadPng(path("kept.png")), expected_));
    EXPECT_EQ(filesInDir(), 2u);
}
