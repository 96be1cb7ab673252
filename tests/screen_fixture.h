#pragma once
// A main screen built on the fake platform in a fresh working directory.

#include "app/main_screen.h"
#include "app/program.h"
#include "fake/fake_platform.h"
#include "temp_dir.h"

namespace tonvirke {

class BuiltScreen : public InTempDir {
 protected:
  void SetUp() override {
    InTempDir::SetUp();
    p.ScreenWidth = 1280;
    p.ScreenHeight = 800;
    BuildMainScreen(p);
    fake.timeline.clear();
    fake.now = 0;
  }
  void SetField(int number, const QString& text) { fake.controls[number].text = text; }
  fake::FakePlatform fake;
  Program p{fake.facilities()};
};

}  // namespace tonvirke
