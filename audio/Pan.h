// A sound's pan and its 2 x 2 gain matrix (m1..m4: left out = L m1 + R m2,
// right out = L m3 + R m4; a mono sound uses m1 left and m4 right).
#pragma once

namespace Daz {

namespace Pan {

// The matrix for a pan of -1 (left) .. +1 (right). A mono sound keeps its
// power across the field (0.7071 each side at the centre); a stereo sound
// keeps both channels at the centre at 0.5 each.
void toGains(float pan, bool stereo, float gains[4]);
// The pan a matrix stands for.
float fromGains(const float gains[4], bool stereo);

} // namespace Pan

} // namespace Daz
