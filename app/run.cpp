#include "app/run.hpp"

#include <cmath>
#include <istream>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>

#include "app/answers.hpp"
#include "app/records.hpp"
#include "app/report.hpp"
#include "app/run_data.hpp"
#include "app/standard_streams.hpp"
#include "shape/params.hpp"
#include "shape/shape_section.hpp"
#include "solution/virial.hpp"
#include "support/message_unit.hpp"
#include "support/refusal.hpp"
#include "support/edit.hpp"

namespace triex {
namespace {

constexpr std::string_view kAxesPrompt = "Enter a, b and c in Angstroms [separate by spaces]";
constexpr std::string_view kRatiosPrompt = "Enter ellipsoidal axial ratios a/b and b/c";
constexpr std::string_view kHydrationPrompt =
    " Enter hydration delta (g/g), solvent density rho (g/ml) and vbar (ml/g)";
constexpr std::string_view kBexQuestion =
    "Do you want the exclusion volume contribution to the virial coefficient, B(ex)?";

// A refused answer: the question it answered and what was wrong with it.
struct RefusedAnswer {
  std::string question;
  std::string what;
};

// An accepted answer whose line held more than the question read: the
// question and how many values it took.
struct UnreadValues {
  std::string question;
  std::size_t taken;
};

// A question as a message names it: without the blank that some prompts begin with.
std::string question_name(std::string_view question) {
  while (!question.empty() && question.front() == ' ') question.remove_prefix(1);
  return std::string(question);
}

class Dialogue {
 public:
  Dialogue(std::istream& in, std::ostream& out, std::ostream& err) : answers_(in), out_(out), err_(err) {}

  // Each step returns false when an answer is refused (refusal() tells why) or
  // a write to the output stream failed (the stream tells).
  bool shape_answers();
  void shape_results();
  bool solution_answers();
  bool virial_answers();
  bool closing_pause();

  const RefusedAnswer& refusal() const { return refusal_; }
  const RunData& data() const { return run_; }

 private:
  bool refuse(std::string_view question, std::string what) {
    refusal_ = {question_name(question), std::move(what)};
    return false;
  }
  bool answered(bool ok, std::string_view question, std::size_t taken) {
    if (!ok) return refuse(question, answers_.problem().what);
    if (answers_.left_values_unread()) unread_ = UnreadValues{question_name(question), taken};
    return true;
  }
  void note_unread_values();
  // Standard output is flushed before every read, so a prompt always shows
  // first; a write that failed, then or before, ends the run there. The
  // previous answer has been accepted by then: its note, if any, comes first.
  bool flushed() {
    note_unread_values();
    return static_cast<bool>(out_.flush());
  }
  bool text(std::string_view question, std::string& value) {
    return flushed() && answered(answers_.read_text(value), question, 1);
  }
  bool integer(std::string_view question, int& value) {
    return flushed() && answered(answers_.read_integer(value), question, 1);
  }
  bool reals(std::string_view question, std::span<double> values) {
    return flushed() && answered(answers_.read_reals(values), question, values.size());
  }
  bool accepted(std::string_view question, const std::optional<Refusal>& refusal) {
    return !refusal || refuse(question, refusal->what());
  }
  bool positive(std::string_view question, Field field, double value, std::string_view formula = {});

  AnswerReader answers_;
  std::ostream& out_;
  std::ostream& err_;
  RunData run_;
  Params shape_;
  RefusedAnswer refusal_;
  // The last answer's, written when the dialogue goes on past it: a refused
  // answer ends the run first, and gets its refusal alone.
  std::optional<UnreadValues> unread_;
};

// Reading goes on as list-directed input does, dropping the rest of the line
// (answer files rely on it); one note on standard error says so, since
// "66,400" read as 66 or "22,5 15 15" read as 22, 5, 15 would otherwise give a
// plausible but wrong result.
void Dialogue::note_unread_values() {
  if (!unread_) return;
  err_ << "triex: note: answer to \"" << unread_->question << "\": only the first ";
  if (unread_->taken == 1) {
    err_ << "value was read";
  } else {
    err_ << unread_->taken << " values were read";
  }
  err_ << "; the rest of the line was ignored\n";
  err_.flush();
  unread_.reset();
}

// A value that a later formula divides by or takes a root of must be a
// positive finite number.
bool Dialogue::positive(std::string_view question, Field field, double value, std::string_view formula) {
  return accepted(question, not_positive(field, value, formula));
}

// Name, form of the shape, and the shape itself.
bool Dialogue::shape_answers() {
  list_record(out_, {"Name of molecule"});
  if (!text("Name of molecule", run_.name)) return false;
  list_record(out_, {"You need to enter the data as either (a, b, c) ", "or (a/b, b/c)"});
  list_record(out_, {"Choose 1 (a, b, c) or 2 (a/b, b/c)"});
  if (!integer("Choose 1 (a, b, c) or 2 (a/b, b/c)", run_.entry)) return false;

  if (run_.entry == 1) {
    list_record(out_, {kAxesPrompt});
    double axes[3];
    if (!reals(kAxesPrompt, axes)) return false;
    // A zero or negative semi-axis has no ellipsoid: the integrals would divide by
    // zero or report a meaningless negative volume.
    if (!positive(kAxesPrompt, Field::a, axes[0]) || !positive(kAxesPrompt, Field::b, axes[1]) ||
        !positive(kAxesPrompt, Field::c, axes[2]))
      return false;
    shape_ = from_semi_axes(axes[0], axes[1], axes[2]);
  } else {
    list_record(out_, {kRatiosPrompt});
    double ratios[2];
    if (!reals(kRatiosPrompt, ratios)) return false;
    run_.a_over_b = ratios[0];
    run_.b_over_c = ratios[1];
    if (!positive(kRatiosPrompt, Field::a_over_b, run_.a_over_b) || !positive(kRatiosPrompt, Field::b_over_c, run_.b_over_c))
      return false;
    // c is the unit of length; the reduced excluded volume does not depend on size.
    shape_ = from_axial_ratios(run_.a_over_b, run_.b_over_c);
    if (!positive(kRatiosPrompt, Field::a_over_b, shape_.A, kDerivedA)) return false;
  }
  run_.c = shape_.C;
  run_.b = shape_.B;
  run_.a = shape_.A;
  return true;
}

// A quadrature value that is plainly wrong is not used: the closed form takes
// its place, and a note on standard error says so (standard output keeps its
// form).
void Dialogue::shape_results() {
  note_unread_values();  // the shape's, before any note on its quadrature
  const CheckedUred ured = checked_ured(shape_section(shape_).URED, shape_.A, shape_.B, shape_.C);
  run_.ured = ured.URED;
  if (ured.replaced) {
    err_ << "triex: note: the quadrature did not reach its accuracy for this shape (ured = " << shortest(ured.quadrature)
         << "); the closed form's ured = " << shortest(ured.exact) << " is used\n";
    err_.flush();
  }
  formatted_record(out_, {" Reduced excluded volume, ured = ", edit_E(run_.ured, 12, 5)});
}

// Swollen specific volume and molar mass; U and u.
bool Dialogue::solution_answers() {
  list_record(out_, {"You will need to enter either (1) the swollen specific volume, vs (ml/g); or "});
  list_record(out_, {"(2) the hydration (g/g), solvent density and partial specific volume, vbar"});
  formatted_record(out_, {" Which method (1 or 2)?"});
  if (!integer("Which method (1 or 2)?", run_.method)) return false;

  if (run_.method == 1) {
    list_record(out_, {"Enter vs"});
    if (!reals("Enter vs", std::span<double>(&run_.vs, 1))) return false;
    if (!positive("Enter vs", Field::vs, run_.vs)) return false;
  } else {
    list_record(out_, {kHydrationPrompt});
    double data[3];
    if (!reals(kHydrationPrompt, data)) return false;
    run_.hydration = data[0];
    run_.solvent_density = data[1];
    run_.vbar = data[2];
    if (!positive(kHydrationPrompt, Field::solvent_density, run_.solvent_density)) return false;
    run_.vs = specific_volume_from_hydration(run_.vbar, run_.hydration, run_.solvent_density);
    if (!positive(kHydrationPrompt, Field::hydration, run_.vs, kDerivedVs)) return false;
  }

  list_record(out_, {"Enter molar mass, M (g/mol)"});
  if (!reals("Enter molar mass, M (g/mol)", std::span<double>(&run_.molar_mass, 1))) return false;
  // B(ex) = U/(2M^2) divides by 2*M*M: were that to overflow (M above
  // 9.480751908109176e153 g/mol), B(ex) would print as 0.
  if (!accepted("Enter molar mass, M (g/mol)", not_a_molar_mass(Field::molar_mass, run_.molar_mass))) return false;
  // U, u and B(ex) do not depend on the answers still to come; the rest is
  // computed after the last one.
  run_.virial = virial_quantities({run_.ured, run_.vs, run_.molar_mass, {}});
  formatted_record(out_, {" Molar covolume, U = ", edit_E(run_.virial.U, 12, 5), "ml/mol"});
  return true;
}

// The two contributions to the second virial coefficient, their sum and products.
bool Dialogue::virial_answers() {
  list_record(out_, {"Do you want the exclusion volume contribution to the virial"});
  list_record(out_, {"coefficient, B(ex)?"});
  if (!text(kBexQuestion, run_.exclusion_answer)) return false;
  const bool exclusion = is_yes(run_.exclusion_answer);
  if (exclusion) formatted_record(out_, {" Bex = ", edit_E(run_.virial.Bex, 12, 5), "ml.mol/g**2"});

  constexpr std::string_view kPolyelectrolyte = "Is there any contribution from the polyelectrolyte behaviour?";
  list_record(out_, {kPolyelectrolyte});
  if (!text(kPolyelectrolyte, run_.polyelectrolyte_answer)) return false;
  const bool charged = is_yes(run_.polyelectrolyte_answer);
  if (charged) {
    constexpr std::string_view kValency = " Enter valency on macromolecule, Z";
    constexpr std::string_view kIonic = "Enter ionic strength of solvent, I (mol/l)";
    list_record(out_, {kValency});
    if (!reals(kValency, std::span<double>(&run_.charge.valency, 1))) return false;
    list_record(out_, {kIonic});
    if (!reals(kIonic, std::span<double>(&run_.charge.ionic_strength, 1))) return false;
    if (!positive(kIonic, Field::ionic_strength, run_.charge.ionic_strength)) return false;
  }
  // Every quantity of the report, as the library computes them; B(ex) counts
  // only when it was asked for.
  run_.virial = virial_quantities({run_.ured, run_.vs, run_.molar_mass, charged ? std::optional(run_.charge) : std::nullopt},
                                  exclusion ? ExclusionTerm::counted : ExclusionTerm::left_out);
  if (charged) formatted_record(out_, {" Bz = ", edit_E(run_.virial.Bz, 12, 5), "ml.mol/g**2"});
  formatted_record(out_, {" B = ", edit_E(run_.virial.B, 12, 5), "ml.mol/g**2"});
  return true;
}

// One line read without a prompt; whatever is typed, an empty line or the
// end of the input ends the run, and its value is not used. False when the
// report could not be written.
bool Dialogue::closing_pause() {
  if (!flushed()) return false;
  answers_.skip_line();
  return true;
}

// Routes the library's messages to the run's output stream for the length of a run.
class MessageStreamScope {
 public:
  explicit MessageStreamScope(std::ostream& out) : previous_(set_message_stream(out)) {}
  ~MessageStreamScope() { set_message_stream(previous_); }
  MessageStreamScope(const MessageStreamScope&) = delete;
  MessageStreamScope& operator=(const MessageStreamScope&) = delete;

 private:
  std::ostream& previous_;
};

}  // namespace

int run(std::istream& in, std::ostream& out, std::ostream& err) {
  MessageStreamScope messages(out);
  Dialogue dialogue(in, out, err);
  bool ok = dialogue.shape_answers();
  if (ok) {
    dialogue.shape_results();
    ok = dialogue.solution_answers() && dialogue.virial_answers();
  }
  if (ok) {
    write_report(out, dialogue.data());
    ok = dialogue.closing_pause();
  }
  // What ended the run, the most basic cause first: output that was lost,
  // input that could not be read, an answer refused.
  out.flush();
  if (!out) return report_write_failure(out, err);
  if (const int error_number = read_error(in); error_number != 0) return report_read_failure(error_number, err);
  if (!ok) {
    const RefusedAnswer& r = dialogue.refusal();
    err << "triex: answer to \"" << r.question << "\": " << r.what << '\n';
    err.flush();
    return exit_code(Outcome::Refused, static_cast<bool>(err));
  }
  return exit_code(Outcome::Done);
}

}  // namespace triex
