#include "state.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "tables.h"

namespace silk {

namespace {

struct high_pass {
  int32_t fs_khz;
  const int16_t *b;
  const int16_t *a;
};
constexpr high_pass high_pass_filters[] = {{8, dec_b_hp_8, dec_a_hp_8},
                                           {12, dec_b_hp_12, dec_a_hp_12},
                                           {16, dec_b_hp_16, dec_a_hp_16},
                                           {24, dec_b_hp_24, dec_a_hp_24}};

void select_high_pass(decoder_state &st) {
  for (const high_pass &hp : high_pass_filters) {
    if (hp.fs_khz != st.fs_khz) continue;
    std::copy(hp.b, hp.b + 3, st.hp_b_q13);
    std::copy(hp.a, hp.a + 2, st.hp_a_q13);
  }
}

}  // namespace

void decoder_set_fs(decoder_state &st, int32_t fs_khz) {
  if (st.fs_khz == fs_khz) return;
  st.fs_khz = fs_khz;
  st.frame_length = 20 * fs_khz;
  st.subfr_length = 5 * fs_khz;
  st.lpc_order = fs_khz == 8 ? min_lpc_order : max_lpc_order;
  std::fill(st.slpc_q14, st.slpc_q14 + max_lpc_order, 0);
  std::fill(st.out_buf, st.out_buf + max_frame_length, int16_t{0});
  std::fill(std::begin(st.prev_nlsf_q15), std::end(st.prev_nlsf_q15), 0);
  st.lag_prev = 100;
  st.last_gain_index = 1;
  st.prev_sigtype = 0;
  st.first_frame_after_reset = 1;
  select_high_pass(st);
}

void decoder_init(decoder_state &st) {
  std::memset(static_cast<void *>(&st), 0, sizeof st);
  decoder_set_fs(st, 24);
  st.prev_inv_gain_q16 = 65536;
  cng_reset(st);
  plc_reset(st);
}

}  // namespace silk
