// The loading progress window: a caption and a bar from 0 to 10.
#pragma once

#include "platform/controls.h"

namespace kelvaris {

class TProgForm {
 public:
  TProgForm() {
    Form.SetVisible(false);
    Form.SetCaption("Loading");
    Bar.SetMax(10);
  }
  Panel Form{"ProgForm"};
  ProgressBar Bar{"ProgressBar"};

  void Show(int position) {
    Bar.SetPosition(position);
    Form.SetVisible(true);
  }
  void Hide() { Form.SetVisible(false); }
};

}  // namespace kelvaris
