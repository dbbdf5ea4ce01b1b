"""The delegate's booking page driven in a real browser (Debian's chromium
through chromedriver), against the running service on the engine of the run.
Usage: browser_test.py <tallvane-web> <tallvane_web_fixture>"""
import os
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import time
import unittest
import urllib.error
import urllib.parse
import urllib.request

from selenium import webdriver
from selenium.common.exceptions import NoSuchElementException, WebDriverException
from selenium.webdriver.common.by import By
from selenium.webdriver.support.ui import Select, WebDriverWait

SERVICE, FIXTURE = sys.argv[1], sys.argv[2]
TODAY = "2025-03-05 10:00:00"  # a Wednesday; the service's clock is pinned there


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def gone(element):
    """The element left the page: stale, or, while the next page loads,
    a node Chromium no longer finds in its document."""
    try:
        element.is_enabled()
        return False
    except WebDriverException:
        return True

class BookingPage(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.folder = tempfile.mkdtemp(prefix="tallvane-web-")
        out = subprocess.run([FIXTURE, "prepare", cls.folder], check=True, capture_output=True, text=True).stdout
        cls.tokens = dict(line.split("=", 1) for line in out.splitlines())
        # Dr Gamma's workstation asks for appointment times.
        poste = os.path.join(cls.folder, "poste-gamma")
        os.mkdir(poste)
        with open(os.path.join(poste, "Vs.ini"), "wb") as f:
            f.write(b"2,1,0,0\r\n")
        cls.port = free_port()
        cls.log = os.path.join(cls.folder, "acces.log")
        # Under AddressSanitizer (the CI's second run) libfaketime comes first.
        env = dict(os.environ)
        env["ASAN_OPTIONS"] = (env.get("ASAN_OPTIONS", "") + ":verify_asan_link_order=0").lstrip(":")
        cls.service = subprocess.Popen(
            ["faketime", "--exclude-monotonic", TODAY, SERVICE, "--data", cls.folder,
             "--listen", "127.0.0.1:%d" % cls.port, "--poste", poste, "--journal", cls.log],
            stderr=subprocess.PIPE, start_new_session=True, env=env)
        cls.service.stderr.readline()  # "à l'écoute sur ..."
        options = webdriver.ChromeOptions()
        for arg in ("--headless=new", "--no-sandbox", "--disable-dev-shm-usage", "--disable-gpu",
                    "--no-first-run", "--disable-background-networking", "--disable-component-update",
                    "--disable-sync", "--window-size=420,900"):
            options.add_argument(arg)
        options.binary_location = "/usr/bin/chromium"
        cls.driver = webdriver.Chrome(options=options)

    @classmethod
    def tearDownClass(cls):
        cls.driver.quit()
        os.killpg(cls.service.pid, signal.SIGTERM)  # faketime and the service under it
        cls.service.wait(10)
        shutil.rmtree(cls.folder)

    def url(self, labo, query=""):
        return "http://127.0.0.1:%d/r/%s%s" % (self.port, self.tokens[labo], query)

    def open(self, labo, medecin="DR ALPHA", mois="2025-03"):
        self.driver.get(self.url(labo, "?" + urllib.parse.urlencode({"medecin": medecin, "mois": mois})))

    def day(self, iso):
        return self.driver.find_element(By.CSS_SELECTOR, '[data-jour="%s"]' % iso)

    def message(self):
        return self.driver.find_element(By.ID, "message").text

    def rows(self):
        return subprocess.run([FIXTURE, "visites", self.folder], check=True, capture_output=True,
                              text=True).stdout.splitlines()

    def submit(self, button):
        """Clicks and waits for the answer's page."""
        old = self.driver.find_element(By.ID, "message")
        button.click()
        WebDriverWait(self.driver, 10).until(lambda driver: gone(old))

    def book(self, iso, heure=None):
        self.day(iso).click()
        if heure is not None:
            self.driver.find_element(By.ID, "heure").send_keys(heure)
        self.submit(self.driver.find_element(By.ID, "reserver"))

    def forge_booking(self, iso):
        """Posts a day the page does not offer, as a hand-made request would."""
        radio = self.driver.find_element(By.CSS_SELECTOR, 'input[name="jour"]')
        self.driver.execute_script("arguments[0].value = arguments[1]; arguments[0].checked = true;", radio, iso)
        self.submit(self.driver.find_element(By.ID, "reserver"))

    def test_1_month_and_booking(self):
        self.open("LABO A")
        self.assertEqual(Select(self.driver.find_element(By.ID, "medecin")).options[0].get_attribute("value"),
                         "DR ALPHA")
        values = [o.get_attribute("value") for o in Select(self.driver.find_element(By.ID, "medecin")).options]
        self.assertEqual(values, ["DR ALPHA", "DR GAMMA"])  # Beta's quota is 0
        states = {iso: self.day(iso).get_attribute("data-etat")
                  for iso in ("2025-03-04", "2025-03-05", "2025-03-10", "2025-03-11", "2025-03-12", "2025-03-15")}
        self.assertEqual(states, {"2025-03-04": "passe", "2025-03-05": "passe", "2025-03-10": "libre",
                                  "2025-03-11": "complet", "2025-03-12": "ferme", "2025-03-15": "ferme"})
        self.assertNotIn("LABO C", self.driver.page_source)
        self.assertNotIn("AUTRE", self.driver.page_source)
        self.assertEqual(self.driver.find_elements(By.ID, "heure"), [])
        self.book("2025-03-10")
        self.assertIn("Rendez-vous enregistré avec DR ALPHA le 10/03/2025", self.message())
        self.assertEqual(self.day("2025-03-10").get_attribute("data-etat"), "pris")
        self.assertIn("DR ALPHA|LABO A|10|03|2025|", self.rows())
        self.assertEqual(self.driver.find_element(By.ID, "quota-restant").text, "4")
        self.driver.find_element(By.CSS_SELECTOR, '#mes-rendez-vous li[data-jour="2025-03-10"] button.annuler')

    def test_2_refusals(self):
        cases = [  # labo, doctor, month, day, what the page says
            ("LABO A", "DR ALPHA", "2025-03", "2025-03-11", "Le nombre maximum de visiteurs est atteint"),
            ("LABO A", "DR ALPHA", "2025-04", "2025-04-21", "Le 21/04/2025 est un jour férié !\nLundi de Pâques"),
            ("LABO A", "DR ALPHA", "2025-03", "2025-03-12", "DR ALPHA est absent le 12/03/2025."),
            ("LABO B", "DR ALPHA", "2025-03", "2025-03-13",
             "Les 1 visites accordées à LABO B pour l'année 2025 ont été atteintes."),
            ("LABO A", "DR ALPHA", "2025-03", "2025-03-10", "LABO A a déjà un RV avec DR ALPHA le  10/03/2025"),
        ]
        before = sorted(self.rows())
        for labo, doctor, month, iso, text in cases:
            with self.subTest(day=iso, labo=labo):
                self.open(labo, doctor, month)
                self.forge_booking(iso)
                self.assertIn(text, self.message())
                self.assertIn("erreur", self.driver.find_element(By.ID, "message").get_attribute("class"))
        self.assertEqual(sorted(self.rows()), before)
        self.open("LABO A", "DR ALPHA", "2025-04")
        self.assertEqual(self.day("2025-04-21").get_attribute("data-etat"), "ferme")
        with self.assertRaises(NoSuchElementException):
            self.day("2025-04-21").find_element(By.TAG_NAME, "input")

    def test_3_time_asked_by_the_doctors_workstation(self):
        self.open("LABO A", "DR GAMMA")
        self.book("2025-03-14", "09h30")
        self.assertIn("Rendez-vous enregistré avec DR GAMMA le 14/03/2025", self.message())
        self.assertIn("DR GAMMA|LABO A|14|03|2025|09H30", self.rows())

    def test_4_other_laboratory_sees_and_touches_nothing(self):
        self.open("LABO B")
        self.assertNotIn("LABO A", self.driver.page_source)
        self.assertEqual(self.driver.find_elements(By.CSS_SELECTOR, '#mes-rendez-vous li[data-jour="2025-03-10"]'),
                         [])
        # LABO B's cancel form aimed at LABO A's appointment.
        self.open("LABO B", "DR GAMMA")
        self.day("2025-03-14")  # Gamma's 14 March: LABO A's, not LABO B's
        self.assertEqual(self.day("2025-03-14").get_attribute("data-etat"), "libre")
        self.driver.get(self.url("LABO A"))
        button = self.driver.find_element(By.CSS_SELECTOR, '#mes-rendez-vous li[data-jour="2025-03-10"] button.annuler')
        form = button.find_element(By.XPATH, "..")
        self.driver.execute_script("arguments[0].action = arguments[1];", form,
                                   "/r/%s/annuler" % self.tokens["LABO B"])
        self.submit(button)
        self.assertIn("Aucun rendez-vous avec DR ALPHA le 10/03/2025", self.message())
        self.assertIn("DR ALPHA|LABO A|10|03|2025|", self.rows())

    def test_5_cancel(self):
        self.driver.get(self.url("LABO A"))
        self.submit(self.driver.find_element(By.CSS_SELECTOR,
                                             '#mes-rendez-vous li[data-jour="2025-03-10"] button.annuler'))
        self.assertIn("Rendez-vous du 10/03/2025 avec DR ALPHA annulé", self.message())
        self.assertNotIn("DR ALPHA|LABO A|10|03|2025|", self.rows())
        self.assertEqual(self.day("2025-03-10").get_attribute("data-etat"), "libre")

    def test_6_revoked_link_and_unknown_page(self):
        self.driver.get("http://127.0.0.1:%d/nulle-part" % self.port)
        unknown = self.driver.page_source
        self.driver.get(self.url("LABO C"))
        self.assertIn("Rendez-vous de LABO C", self.driver.page_source)
        subprocess.run([FIXTURE, "revoke", self.folder, "LABO C"], check=True)
        self.driver.get(self.url("LABO C"))
        self.assertEqual(self.driver.page_source, unknown)
        self.assertIn("Page introuvable", unknown)

    def test_7_rate_limit(self):
        # LABO C's revoked link counted once already (test 6).
        for i in range(19):
            try:
                urllib.request.urlopen("http://127.0.0.1:%d/r/%043d" % (self.port, i))
            except urllib.error.HTTPError as e:
                self.assertEqual(e.code, 404)
        self.driver.get(self.url("LABO A"))
        self.assertIn("Trop de tentatives", self.driver.page_source)
        with open(self.log, encoding="utf-8") as f:
            log = f.read()
        self.assertIn(" 429 ", log)
        for token in self.tokens.values():
            self.assertNotIn(token, log)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
