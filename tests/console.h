// Test helpers: standard input replaced by a string, standard output
// collected in a string, and the expected texts of the dialogue.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <utility>

#include "harnais.h"
#include "premiers/table_premiers.h"
#include "sortie/sortie.h"
#include "state/state.h"

// Fixture: fresh program-wide state, input from `fournir`, output in `sortie`.
class ConsoleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    etat_initial();
    Nprem = kGraine;
    np = 2;
    sortie_capture = &sortie;
    vider();  // what an earlier test left in the buffer is not ours
    sortie.clear();
  }
  void TearDown() override {
    std::cin.rdbuf(ancien_);
    sortie_capture = nullptr;
  }
  void fournir(std::string texte) {
    texte_ = std::move(texte);
    std::cin.rdbuf(&source_.emplace(texte_.data(), texte_.size()));
  }
  std::string lu() {
    vider();
    return std::exchange(sortie, "");
  }
  std::string sortie;

 private:
  std::streambuf* ancien_ = std::cin.rdbuf();
  std::string texte_;
  std::optional<Octets> source_;
};

// Names each case of a table of rows after the row's `nom`.
inline const auto kNomDuCas = [](const auto& info) {
  return std::string(info.param.nom);
};

// Texts of the dialogue, written out here independently of the program.
namespace texte {
inline const std::string kMin = "\n \n \n  \t Valeur de N minimale ? ";
inline const std::string kMax = "\n \n \t Valeur de N maximale ? ";
inline const std::string kParite =
    " \n \n \n \t  Parite de la somme des diviseurs de N,  Paire [2] / "
    "Impaire [1] /  Quelconque [0] ? :  ";
inline const std::string kNouveau =
    " \n \n \n \t Nouveau calcul , Oui[1] / Non[0] ? :  ";
inline const std::string kEntete[3] = {
    " \n \n \t Liste des valeurs de N suivies des nombres de leurs diviseurs "
    "et des sommes de ceux-ci :  \n ",
    " \n \n \t Les valeurs de N qui ont des sommes des diviseurs impaires, "
    "sont :  \n ",
    " \n \n \t Les valeurs de N qui ont des sommes des diviseurs paires sont :"
    "   \n "};

// Result lines numbered from 1, one for each "N count sum" of `l`.
inline std::string lignes(std::initializer_list<const char*> l) {
  std::string t, n, nd, somme;
  int nN = 0;
  for (const char* r : l) {
    std::istringstream(r) >> n >> nd >> somme;
    t.append("\n \n \t ").append(std::to_string(++nN)).append(" \t -  :  \t ");
    t.append(n).append("  a  ").append(nd).append("  diviseurs  de somme  : ");
    t.append(somme).append(" . ");
  }
  return t;
}
}  // namespace texte
