#include <cstdio>
#include <iostream>

#include "PictureLoader.h"
#include "PngWriter.h"
#include "Verbs.h"

namespace azuz::cli {

void AddPictureVerb(CLI::App& app, int& status) {
  auto* verb = app.add_subcommand("picture", "Decode a picture as the designer does");
  auto path = std::make_shared<std::string>();
  auto png = std::make_shared<std::string>();
  verb->add_option("file", *path, "a BMP, JPEG or GIF file")->required();
  verb->add_option("--png", *png, "write the decoded picture as an RGB PNG");
  verb->callback([path, png, &status] {
    std::string why;
    std::optional<Picture> picture;
    if (std::FILE* file = OpenPictureFile(*path, &why)) {
      picture = LoadPictureFile(file, &why);
    }
    if (!picture) {
      std::cout << "no picture: " << why << "\n";
      status = 1;
      return;
    }
    std::cout << picture->width << " x " << picture->height << "\n";
    const auto rowAt = [&picture](int y) { return picture->Row(y); };
    if (!png->empty() && !WriteRgbPng(*png, picture->width, picture->height, rowAt, &why)) {
      std::cerr << "azuz: " << why << "\n";
      status = 1;
      return;
    }
    status = 0;
  });
}

}  // namespace azuz::cli
