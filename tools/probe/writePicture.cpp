#include "tools/probe/writePicture.h"

#include "foundation/CError.h"
#include "tools/probe/writeJPEG.h"
#include "tools/probe/writePNG.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace nebo::probe {

const char* const pictureFileNames = "\"*.png\", \"*.jpg\" or \"*.jpeg\"";

std::optional<EPictureFormat> pictureFormatOf(const std::string& path)
{
    std::string extension = std::filesystem::path(path).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension == ".png")
        return EPictureFormat::png;
    if (extension == ".jpg" || extension == ".jpeg")
        return EPictureFormat::jpeg;
    return std::nullopt;
}

void writePicture(const std::string& path, const SRGBImage& image)
{
    const std::optional<EPictureFormat> format = pictureFormatOf(path);
    if (!format)
        throw lumo::CError(
            lumo::String::fromUTF8("cannot write the picture to " + path + ": name the file " + pictureFileNames));
    if (*format == EPictureFormat::png)
        writePNG(path, image);
    else
        writeJPEG(path, image);
}

} // namespace nebo::probe
