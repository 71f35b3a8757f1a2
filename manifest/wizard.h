// The wizard's steps as the step mask marks them and the backdrop lists them
// on its stripe, which the pages keep clear of.
#ifndef CRATEWISE_WIZARD_H
#define CRATEWISE_WIZARD_H

// The step mask's bits, in the order the steps are lit.
enum StepBit {
    StepAgreement = 1,
    StepLocation = 2,
    StepCopy = 4,
    StepGroup = 8,
    StepSending = 16,
    StepRegistered = 32,
    StepFinished = 64
};

enum {
    StripeWidth = 150,
    // The title's indent and the width its letters leave for it.
    TitleIndent = 140,
    StepRows = 7,
    StepListTop = 120,  // the first label's y
    StepRowPitch = 18,
    StepListBottom = 244  // below the last label's letters
};

#endif
