<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr" sourcelanguage="en">
<context>
    <name>QObject</name>
    <message>
        <source>Run %1, started %2: %3 in %4</source>
        <translation>Exécution %1, commencée le %2 : %3 dans %4</translation>
    </message>
    <message>
        <source>, copies to %1</source>
        <translation>, copies vers %1</translation>
    </message>
    <message>
        <source>%1 files planned, %2 done, %3 failed. State: %4.</source>
        <translation>%1 fichiers prévus, %2 traités, %3 en échec. État : %4.</translation>
    </message>
    <message>
        <source>Last undo: %1 restored, %2 skipped.</source>
        <translation>Dernière annulation : %1 rétablis, %2 ignorés.</translation>
    </message>
    <message>
        <source>back from the trash</source>
        <translation>sorti de la corbeille</translation>
    </message>
    <message>
        <source>set back</source>
        <translation>remis en état</translation>
    </message>
    <message>
        <source>Rename to a temporary name</source>
        <translation>Renommer sous un nom provisoire</translation>
    </message>
    <message>
        <source>Rename from a temporary name</source>
        <translation>Renommer depuis un nom provisoire</translation>
    </message>
    <message>
        <source>Rename</source>
        <translation>Renommer</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Copier</translation>
    </message>
    <message>
        <source>To the trash</source>
        <translation>Vers la corbeille</translation>
    </message>
    <message>
        <source>replaced by a copy</source>
        <translation>remplacé par une copie</translation>
    </message>
    <message>
        <source>Attributes</source>
        <translation>Attributs</translation>
    </message>
    <message>
        <source>before: mode %1</source>
        <translation>avant : mode %1</translation>
    </message>
    <message>
        <source>Dates and times</source>
        <translation>Dates et heures</translation>
    </message>
    <message>
        <source>modified %1 → %2</source>
        <translation>modifié %1 → %2</translation>
    </message>
    <message>
        <source>Failed</source>
        <translation>Échec</translation>
    </message>
    <message>
        <source>Run ended</source>
        <translation>Exécution terminée</translation>
    </message>
    <message>
        <source>%1: %2 done, %3 failed</source>
        <translation>%1 : %2 traités, %3 en échec</translation>
    </message>
    <message>
        <source>Undo started</source>
        <translation>Annulation commencée</translation>
    </message>
    <message>
        <source>(temporary file)</source>
        <translation>(fichier provisoire)</translation>
    </message>
    <message>
        <source>named</source>
        <translation>nommé</translation>
    </message>
    <message>
        <source>restored</source>
        <translation>rétabli</translation>
    </message>
    <message>
        <source>skipped</source>
        <translation>ignoré</translation>
    </message>
    <message>
        <source>nothing to do</source>
        <translation>rien à faire</translation>
    </message>
    <message>
        <source>Undo: %1</source>
        <translation>Annulation : %1</translation>
    </message>
    <message>
        <source>Temporary name: %1</source>
        <translation>Nom provisoire : %1</translation>
    </message>
    <message>
        <source>Temporary file: %1</source>
        <translation>Fichier provisoire : %1</translation>
    </message>
    <message>
        <source>→ the trash</source>
        <translation>→ corbeille</translation>
    </message>
    <message>
        <source>Undo cancelled</source>
        <translation>Annulation interrompue</translation>
    </message>
    <message>
        <source>Undo ended</source>
        <translation>Annulation terminée</translation>
    </message>
    <message>
        <source>%1 restored, %2 skipped</source>
        <translation>%1 rétablis, %2 ignorés</translation>
    </message>
    <message>
        <source>file</source>
        <translation>fichier</translation>
    </message>
    <message>
        <source>files</source>
        <translation>fichiers</translation>
    </message>
    <message>
        <source>Files kept as they are</source>
        <translation>Fichiers laissés tels quels</translation>
    </message>
    <message>
        <source>%1 resolved</source>
        <translation>%1 résolus</translation>
    </message>
    <message>
        <source>temporary name</source>
        <translation>nom provisoire</translation>
    </message>
    <message>
        <source>temporary names</source>
        <translation>noms provisoires</translation>
    </message>
    <message>
        <source>copy</source>
        <translation>copie</translation>
    </message>
    <message>
        <source>rename</source>
        <translation>renommage</translation>
    </message>
    <message>
        <source>(unreadable record)</source>
        <translation>(enregistrement illisible)</translation>
    </message>
    <message>
        <source>moved to the trash</source>
        <translation>mis à la corbeille</translation>
    </message>
    <message>
        <source>removed</source>
        <translation>supprimé</translation>
    </message>
    <message>
        <source>New folder</source>
        <translation>Nouveau dossier</translation>
    </message>
</context>
<context>
    <name>UndoRunner</name>
    <message numerus="yes">
        <source>%n record(s) of the journal could not be read: what they did is not undone.</source>
        <translation>
            <numerusform>%n enregistrement du journal est illisible : ce qu&apos;il a fait n&apos;est pas annulé.</numerusform>
            <numerusform>%n enregistrements du journal sont illisibles : ce qu&apos;ils ont fait n&apos;est pas annulé.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>quorvan</name>
    <message>
        <source>1 file</source>
        <translation>1 fichier</translation>
    </message>
    <message>
        <source>%1 files</source>
        <translation>%1 fichiers</translation>
    </message>
    <message>
        <source>%1 restored, %2 skipped.</source>
        <translation>%1 rétablis, %2 ignorés.</translation>
    </message>
    <message>
        <source>Info...</source>
        <translation>Info...</translation>
    </message>
    <message>
        <source>The files of the run were kept as they are, but %1 could not be given a name. The details say why.</source>
        <translation>Les fichiers de l&apos;exécution ont été laissés tels quels, mais %1 n&apos;a pas pu recevoir de nom. Les détails en donnent la raison.</translation>
    </message>
    <message>
        <source>Undo cancelled: %1
Undo the run again to finish it.</source>
        <translation>Annulation interrompue : %1
Annulez de nouveau l&apos;exécution pour la terminer.</translation>
    </message>
    <message>
        <source>Undo finished: %1
The details say why each step was skipped.</source>
        <translation>Annulation terminée : %1
Les détails indiquent pourquoi chaque étape a été ignorée.</translation>
    </message>
    <message>
        <source>Undo complete: %1</source>
        <translation>Annulation achevée : %1</translation>
    </message>
    <message>
        <source>Issue...</source>
        <translation>Problème...</translation>
    </message>
    <message>
        <source>This run is still going, or being undone elsewhere. Try again once it has ended.</source>
        <translation>Cette exécution est encore en cours, ou annulée ailleurs. Réessayez quand elle sera terminée.</translation>
    </message>
    <message>
        <source>Error...</source>
        <translation>Erreur...</translation>
    </message>
    <message>
        <source>The journal of this run cannot be read:
%1</source>
        <translation>Le journal de cette exécution est illisible :
%1</translation>
    </message>
    <message>
        <source>it does not begin with the run&apos;s start.</source>
        <translation>il ne commence pas par le début de l&apos;exécution.</translation>
    </message>
    <message>
        <source>This run was recorded by a newer version of Quorvan, which alone can undo it.</source>
        <translation>Cette exécution a été enregistrée par une version plus récente de Quorvan, seule capable de l&apos;annuler.</translation>
    </message>
    <message>
        <source>The undo stopped: the run&apos;s journal cannot be written:
%1
So far: %2</source>
        <translation>L&apos;annulation s&apos;est arrêtée : impossible d&apos;écrire le journal de l&apos;exécution :
%1
Jusqu&apos;ici : %2</translation>
    </message>
    <message>
        <source>The rename run of %1 in %2 was interrupted after %3 of %4 files. Undo what it did?</source>
        <translation>Le renommage du %1 dans %2 a été interrompu après %3 fichiers sur %4. Annuler ce qu&apos;il a fait ?</translation>
    </message>
    <message>
        <source>Reading dates and tags from the files...</source>
        <translation>Lecture des dates et des étiquettes des fichiers...</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Preview</source>
        <translation>Aperçu</translation>
    </message>
    <message>
        <source>This run is not undone: %1</source>
        <translation>Cette exécution n&apos;est pas annulée : %1</translation>
    </message>
    <message>
        <source>The files of this run were not kept as they are: %1
The run stays interrupted; you will be asked again.</source>
        <translation>Les fichiers de cette exécution n&apos;ont pas été conservés tels quels : %1
L&apos;exécution reste interrompue ; la question vous sera reposée.</translation>
    </message>
</context>
<context>
    <name>quorvan::CAttributeSettingsDlg</name>
    <message>
        <source>File Creation Date/Time:</source>
        <translation>Date/heure de création :</translation>
    </message>
    <message>
        <source>File Modified Date/Time:</source>
        <translation>Date/heure de modification :</translation>
    </message>
    <message>
        <source>File Last Accessed:</source>
        <translation>Dernier accès :</translation>
    </message>
    <message>
        <source>Modify attributes:</source>
        <translation>Modifier les attributs :</translation>
    </message>
    <message>
        <source>Modifies file attribute settings</source>
        <translation>Modifie les attributs des fichiers</translation>
    </message>
    <message>
        <source>Read-only</source>
        <translation>Lecture seule</translation>
    </message>
    <message>
        <source>Hidden</source>
        <translation>Caché</translation>
    </message>
    <message>
        <source>System</source>
        <translation>Système</translation>
    </message>
    <message>
        <source>Archive</source>
        <translation>Archive</translation>
    </message>
    <message>
        <source>Modify Date/Time:</source>
        <translation>Modifier date/heure :</translation>
    </message>
    <message>
        <source>Modifies file date and time settings</source>
        <translation>Modifie la date et l&apos;heure des fichiers</translation>
    </message>
    <message>
        <source>Linux cannot set a file&apos;s creation time: files keep the one they have</source>
        <translation>Linux ne peut pas changer la date de création d&apos;un fichier : les fichiers gardent la leur</translation>
    </message>
</context>
<context>
    <name>quorvan::CCDDBSettingsDlg</name>
    <message>
        <source>Rename CD Audio Files</source>
        <translation>Renommer les fichiers audio du CD</translation>
    </message>
    <message>
        <source>Check this box to enable the CD Audio renaming functionality</source>
        <translation>Cochez cette case pour renommer les fichiers audio d&apos;après les titres du CD</translation>
    </message>
    <message>
        <source>&amp;CDDB Settings...</source>
        <translation>Réglages &amp;CDDB...</translation>
    </message>
    <message>
        <source>Choose the CDDB server and the e-mail address sent to it</source>
        <translation>Choisir le serveur CDDB et l&apos;adresse électronique qui lui est envoyée</translation>
    </message>
    <message>
        <source>CD Drive:</source>
        <translation>Lecteur CD :</translation>
    </message>
    <message>
        <source>List of CD-ROM drives available</source>
        <translation>Liste des lecteurs de CD-ROM disponibles</translation>
    </message>
    <message>
        <source>&amp;Get names</source>
        <translation>Obtenir les &amp;noms</translation>
    </message>
    <message>
        <source>Retrieve track names from Audio CD in selected drive</source>
        <translation>Obtenir les titres du CD audio dans le lecteur choisi</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>Tout sélectionner</translation>
    </message>
    <message>
        <source>Selects all the tracks in the retrieved internet track name list</source>
        <translation>Sélectionne toutes les pistes de la liste des titres obtenus</translation>
    </message>
    <message>
        <source>Deselect All</source>
        <translation>Tout désélectionner</translation>
    </message>
    <message>
        <source>Deselects all the tracks in the retrieved internet track name list</source>
        <translation>Désélectionne toutes les pistes de la liste des titres obtenus</translation>
    </message>
    <message>
        <source>Invert Selections</source>
        <translation>Inverser la sélection</translation>
    </message>
    <message>
        <source>Inverts the selections of the tracks in the retrieved internet track name list</source>
        <translation>Inverse la sélection des pistes de la liste des titres obtenus</translation>
    </message>
    <message>
        <source>Selected tracks:</source>
        <translation>Pistes choisies :</translation>
    </message>
    <message>
        <source>Retrieved track names:</source>
        <translation>Titres obtenus :</translation>
    </message>
    <message>
        <source>Move &amp;Up</source>
        <translation>Vers le ha&amp;ut</translation>
    </message>
    <message>
        <source>Move the selected source track up one entry in the list</source>
        <translation>Monte la piste choisie d&apos;une place dans la liste</translation>
    </message>
    <message>
        <source>Move &amp;Down</source>
        <translation>Vers le &amp;bas</translation>
    </message>
    <message>
        <source>Move the selected source track down one entry in the list</source>
        <translation>Descend la piste choisie d&apos;une place dans la liste</translation>
    </message>
    <message>
        <source>Play</source>
        <translation>Écouter</translation>
    </message>
    <message>
        <source>Play the selected audio file from the source track list</source>
        <translation>Écoute le fichier audio choisi dans la liste des pistes</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Arrêter</translation>
    </message>
    <message>
        <source>Stop playing selected audio file</source>
        <translation>Arrête l&apos;écoute du fichier audio choisi</translation>
    </message>
    <message>
        <source>The CDDB server may refuse to answer without your e-mail address. Please enter it below: it is sent with every request for track names.</source>
        <translation>Le serveur CDDB peut refuser de répondre sans votre adresse électronique. Saisissez-la ci-dessous : elle est envoyée avec chaque demande de titres.</translation>
    </message>
    <message>
        <source>Unable to play %1:
%2</source>
        <translation>Impossible de lire %1 :
%2</translation>
    </message>
    <message>
        <source>Loo&amp;k up in:</source>
        <translation>Consu&amp;lter :</translation>
    </message>
    <message>
        <source>CDDB server</source>
        <translation>Serveur CDDB</translation>
    </message>
    <message>
        <source>MusicBrainz</source>
        <translation>MusicBrainz</translation>
    </message>
    <message>
        <source>Where Get names looks the disc up</source>
        <translation>Où « Obtenir les noms » cherche le disque</translation>
    </message>
</context>
<context>
    <name>quorvan::CCddbServerDlg</name>
    <message>
        <source>CDDB Settings</source>
        <translation>Réglages CDDB</translation>
    </message>
    <message>
        <source>The CDDB server that track names are retrieved from</source>
        <translation>Le serveur CDDB qui fournit les titres des pistes</translation>
    </message>
    <message>
        <source>The port of the server&apos;s web gateway, usually 80</source>
        <translation>Le port de la passerelle web du serveur, d&apos;ordinaire 80</translation>
    </message>
    <message>
        <source>name@example.org</source>
        <translation>nom@example.org</translation>
    </message>
    <message>
        <source>Sent to the server with every request; public servers refuse requests without one</source>
        <translation>Envoyée au serveur avec chaque demande ; les serveurs publics refusent les demandes sans adresse</translation>
    </message>
    <message>
        <source>&amp;Server:</source>
        <translation>&amp;Serveur :</translation>
    </message>
    <message>
        <source>&amp;Port:</source>
        <translation>&amp;Port :</translation>
    </message>
    <message>
        <source>&amp;E-mail address:</source>
        <translation>&amp;Adresse électronique :</translation>
    </message>
    <message>
        <source>Without an e-mail address, your login and computer names are sent instead.</source>
        <translation>Sans adresse électronique, votre nom d&apos;utilisateur et celui de l&apos;ordinateur sont envoyés à la place.</translation>
    </message>
    <message>
        <source>The CDDB settings could not be saved.</source>
        <translation>Les réglages CDDB n&apos;ont pas pu être enregistrés.</translation>
    </message>
</context>
<context>
    <name>quorvan::CExtendedSettingsDlg</name>
    <message>
        <source>File Name Properties:</source>
        <translation>Noms de fichier :</translation>
    </message>
    <message>
        <source>Change extension to:</source>
        <translation>Changer l&apos;extension en :</translation>
    </message>
    <message>
        <source>Changes the extension from the existing value to the specified value</source>
        <translation>Remplace l&apos;extension existante par celle indiquée</translation>
    </message>
    <message>
        <source>Append the following (after extension):</source>
        <translation>Ajouter ceci (après l&apos;extension) :</translation>
    </message>
    <message>
        <source>Appends specified string to the end of the full file names</source>
        <translation>Ajoute le texte indiqué à la fin des noms de fichier complets</translation>
    </message>
    <message>
        <source>File Processing</source>
        <translation>Traitement</translation>
    </message>
    <message>
        <source>Include subfolders</source>
        <translation>Inclure les sous-dossiers</translation>
    </message>
    <message>
        <source>Process all files in current folder and subfolders</source>
        <translation>Traite tous les fichiers du dossier actuel et de ses sous-dossiers</translation>
    </message>
    <message>
        <source>Generate log file</source>
        <translation>Créer un journal</translation>
    </message>
    <message>
        <source>Generates a log file of the renaming process</source>
        <translation>Crée un fichier journal du renommage</translation>
    </message>
    <message>
        <source>Generate &quot;Undo&quot; batch file</source>
        <translation>Créer le script « Annuler »</translation>
    </message>
    <message>
        <source>Generates a file that will undo rename actions</source>
        <translation>Crée un fichier qui annule le renommage</translation>
    </message>
    <message>
        <source>Rename File Destination:</source>
        <translation>Destination :</translation>
    </message>
    <message>
        <source>Rename existing files</source>
        <translation>Renommer les fichiers existants</translation>
    </message>
    <message>
        <source>Renames files in their current location</source>
        <translation>Renomme les fichiers là où ils sont</translation>
    </message>
    <message>
        <source>Copy then rename files (leaves original files):</source>
        <translation>Copier puis renommer (garde les originaux) :</translation>
    </message>
    <message>
        <source>Copies the files to the destination location then performs rename</source>
        <translation>Copie les fichiers vers la destination, puis les renomme</translation>
    </message>
    <message>
        <source>Destination Folder:</source>
        <translation>Dossier de destination :</translation>
    </message>
    <message>
        <source>&amp;Browse...</source>
        <translation>&amp;Parcourir...</translation>
    </message>
    <message>
        <source>Browse to destination folder</source>
        <translation>Choisir le dossier de destination</translation>
    </message>
    <message>
        <source>Choose Source Folder</source>
        <translation>Choisir le dossier source</translation>
    </message>
</context>
<context>
    <name>quorvan::CFilterSettingsDlg</name>
    <message>
        <source>Filter on Creation Date/Time:</source>
        <translation>Filtrer sur la date de création :</translation>
    </message>
    <message>
        <source>Filter on Modified Date/Time:</source>
        <translation>Filtrer sur la date de modification :</translation>
    </message>
    <message>
        <source>Filter on Last Accessed Date/Time:</source>
        <translation>Filtrer sur le dernier accès :</translation>
    </message>
    <message>
        <source>Filter on Attributes:</source>
        <translation>Filtrer sur les attributs :</translation>
    </message>
    <message>
        <source>Enables filtering on file attributes</source>
        <translation>Active le filtre sur les attributs des fichiers</translation>
    </message>
    <message>
        <source>Filter on Times:</source>
        <translation>Filtrer sur les dates :</translation>
    </message>
    <message>
        <source>Enables filtering on file dates and times</source>
        <translation>Active le filtre sur les dates et heures des fichiers</translation>
    </message>
    <message>
        <source>Filter on File Extensions:</source>
        <translation>Filtrer sur les extensions :</translation>
    </message>
    <message>
        <source>Enables filtering on file extensions</source>
        <translation>Active le filtre sur les extensions des fichiers</translation>
    </message>
    <message>
        <source>Include files with the following attribute settings:</source>
        <translation>Inclure les fichiers ayant ces attributs :</translation>
    </message>
    <message>
        <source>Specifies attributes that files must match to be included in the renaming</source>
        <translation>Indique les attributs que les fichiers doivent avoir pour être renommés</translation>
    </message>
    <message>
        <source>Exclude files with the following attribute settings:</source>
        <translation>Exclure les fichiers ayant ces attributs :</translation>
    </message>
    <message>
        <source>Specifies attributes for files that should be excluded from the renaming</source>
        <translation>Indique les attributs des fichiers à exclure du renommage</translation>
    </message>
    <message>
        <source>Read-only</source>
        <translation>Lecture seule</translation>
    </message>
    <message>
        <source>Hidden</source>
        <translation>Caché</translation>
    </message>
    <message>
        <source>System</source>
        <translation>Système</translation>
    </message>
    <message>
        <source>Archive</source>
        <translation>Archive</translation>
    </message>
    <message>
        <source>Include:</source>
        <translation>Inclure :</translation>
    </message>
    <message>
        <source>Exclude:</source>
        <translation>Exclure :</translation>
    </message>
    <message>
        <source>Specifies which file extensions should be included in renaming</source>
        <translation>Indique les extensions de fichier à renommer</translation>
    </message>
    <message>
        <source>Specifies which file extensions should be excluded from renaming</source>
        <translation>Indique les extensions de fichier à exclure du renommage</translation>
    </message>
</context>
<context>
    <name>quorvan::CFilterStatusLabel</name>
    <message>
        <source>Filter on</source>
        <translation>Filtre actif</translation>
    </message>
    <message>
        <source>Filter on: %1 of %2 files pass</source>
        <translation>Filtre actif : %1 fichiers sur %2 passent</translation>
    </message>
    <message>
        <source>The filter on the Filter tab lets none of the %1 ticked files pass.</source>
        <translation>Le filtre de l&apos;onglet Filtres ne laisse passer aucun des %1 fichiers cochés.</translation>
    </message>
</context>
<context>
    <name>quorvan::CHelpWindow</name>
    <message>
        <source>%1 Help</source>
        <translation>Aide de %1</translation>
    </message>
    <message>
        <source>&amp;Contents</source>
        <translation>&amp;Sommaire</translation>
    </message>
    <message>
        <source>&amp;Back</source>
        <translation>&amp;Précédent</translation>
    </message>
    <message>
        <source>&amp;Forward</source>
        <translation>S&amp;uivant</translation>
    </message>
    <message>
        <source>C&amp;lose</source>
        <translation>&amp;Fermer</translation>
    </message>
</context>
<context>
    <name>quorvan::CHistoryDlg</name>
    <message>
        <source>History</source>
        <translation>Historique</translation>
    </message>
    <message>
        <source>Past runs</source>
        <translation>Exécutions passées</translation>
    </message>
    <message>
        <source>&amp;Operations:</source>
        <translation>&amp;Opérations :</translation>
    </message>
    <message>
        <source>Operations of the selected run</source>
        <translation>Opérations de l&apos;exécution choisie</translation>
    </message>
    <message>
        <source>&amp;Undo Run</source>
        <translation>&amp;Annuler l&apos;exécution</translation>
    </message>
    <message>
        <source>Puts back what the selected run did, as far as nothing has changed since</source>
        <translation>Défait ce qu&apos;a fait l&apos;exécution choisie, pour autant que rien n&apos;ait changé depuis</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Fermer</translation>
    </message>
    <message>
        <source>&amp;Runs:</source>
        <translation>&amp;Exécutions :</translation>
    </message>
    <message>
        <source>No run has been recorded yet.</source>
        <translation>Aucune exécution n&apos;a encore été enregistrée.</translation>
    </message>
    <message>
        <source>&amp;Operations: reading the journal...</source>
        <translation>&amp;Opérations : lecture du journal...</translation>
    </message>
    <message>
        <source>&amp;Operations: the journal cannot be read: %1</source>
        <translation>&amp;Opérations : le journal est illisible : %1</translation>
    </message>
    <message>
        <source>&amp;Operations (%1):</source>
        <translation>&amp;Opérations (%1) :</translation>
    </message>
    <message>
        <source>Undo the run of %1 in %2?

Renamed files get their old names back, copies it made go to the trash and files it replaced come back from the trash. A file changed or taken since is left alone.</source>
        <translation>Annuler l&apos;exécution du %1 dans %2 ?

Les fichiers renommés retrouvent leur ancien nom, les copies faites vont à la corbeille et les fichiers remplacés sortent de la corbeille. Un fichier modifié ou pris depuis n&apos;est pas touché.</translation>
    </message>
    <message>
        <source>Info...</source>
        <translation>Info...</translation>
    </message>
</context>
<context>
    <name>quorvan::CMainDlg</name>
    <message>
        <source>Quorvan Files (*.qvr);;All Files (*)</source>
        <translation>Fichiers Quorvan (*.qvr);;Tous les fichiers (*)</translation>
    </message>
    <message>
        <source>Main folder from which to process files</source>
        <translation>Dossier principal des fichiers à traiter</translation>
    </message>
    <message>
        <source>&amp;Browse...</source>
        <translation>&amp;Parcourir...</translation>
    </message>
    <message>
        <source>Browse to the folder containing files to be renamed</source>
        <translation>Choisir le dossier des fichiers à renommer</translation>
    </message>
    <message>
        <source>(0 of 0 files selected)</source>
        <translation>(0 fichier sélectionné sur 0)</translation>
    </message>
    <message>
        <source>(0 files in preview)</source>
        <translation>(0 fichier dans l&apos;aperçu)</translation>
    </message>
    <message>
        <source>Source Filename</source>
        <translation>Nom de fichier source</translation>
    </message>
    <message>
        <source>Preview Filename</source>
        <translation>Nom de fichier dans l&apos;aperçu</translation>
    </message>
    <message>
        <source>&amp;Preview</source>
        <translation>&amp;Aperçu</translation>
    </message>
    <message>
        <source>Generates a sample list of file names</source>
        <translation>Produit une liste des nouveaux noms de fichier</translation>
    </message>
    <message>
        <source>&amp;Refresh</source>
        <translation>Ac&amp;tualiser</translation>
    </message>
    <message>
        <source>Updates the source list box view</source>
        <translation>Met à jour la liste source</translation>
    </message>
    <message>
        <source>S&amp;elect All</source>
        <translation>Tout &amp;sélectionner</translation>
    </message>
    <message>
        <source>Selects all the files in the source file list box</source>
        <translation>Sélectionne tous les fichiers de la liste source</translation>
    </message>
    <message>
        <source>&amp;Deselect All</source>
        <translation>Tout &amp;désélectionner</translation>
    </message>
    <message>
        <source>Deselects all the files in the source file list box</source>
        <translation>Désélectionne tous les fichiers de la liste source</translation>
    </message>
    <message>
        <source>&amp;Invert Selected</source>
        <translation>&amp;Inverser la sélection</translation>
    </message>
    <message>
        <source>Inverts the selections in the source file list box</source>
        <translation>Inverse la sélection dans la liste source</translation>
    </message>
    <message>
        <source>S&amp;tart</source>
        <translation>Dé&amp;marrer</translation>
    </message>
    <message>
        <source>Executes the rename process</source>
        <translation>Lance le renommage</translation>
    </message>
    <message>
        <source>&amp;Save Settings</source>
        <translation>En&amp;registrer les réglages</translation>
    </message>
    <message>
        <source>Saves the rename settings to a specified text file</source>
        <translation>Enregistre les réglages dans un fichier texte</translation>
    </message>
    <message>
        <source>&amp;Load Settings</source>
        <translation>Char&amp;ger les réglages</translation>
    </message>
    <message>
        <source>Loads the rename settings from a specified text file</source>
        <translation>Charge les réglages depuis un fichier texte</translation>
    </message>
    <message>
        <source>Hist&amp;ory...</source>
        <translation>&amp;Historique...</translation>
    </message>
    <message>
        <source>Lists past runs and undoes one of them</source>
        <translation>Liste les exécutions passées et en annule une</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>Aid&amp;e</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>À pr&amp;opos</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Quitter</translation>
    </message>
    <message>
        <source>Source Folder:</source>
        <translation>Dossier source :</translation>
    </message>
    <message>
        <source>Source File List:</source>
        <translation>Fichiers source :</translation>
    </message>
    <message>
        <source>Preview File List:</source>
        <translation>Aperçu :</translation>
    </message>
    <message>
        <source>%1 of %2 files selected</source>
        <translation>%1 fichiers sélectionnés sur %2</translation>
    </message>
    <message>
        <source>Choose Source Folder</source>
        <translation>Choisir le dossier source</translation>
    </message>
    <message>
        <source>(%1 files in preview, %2 cannot be renamed)</source>
        <translation>(%1 fichiers dans l&apos;aperçu, %2 impossibles à renommer)</translation>
    </message>
    <message>
        <source>(%1 files in preview)</source>
        <translation>(%1 fichiers dans l&apos;aperçu)</translation>
    </message>
    <message>
        <source>With the &quot;Include Subfolders&quot; option set, the preview
generation can take a while depending upon the number
of files in the sub folders.

Do you wish to proceed?</source>
        <translation>Avec l&apos;option « Inclure les sous-dossiers », la création
de l&apos;aperçu peut prendre du temps selon le nombre
de fichiers dans les sous-dossiers.

Voulez-vous continuer ?</translation>
    </message>
    <message>
        <source>Info...</source>
        <translation>Info...</translation>
    </message>
    <message>
        <source>Issue...</source>
        <translation>Problème...</translation>
    </message>
    <message>
        <source>No files have been selected.</source>
        <translation>Aucun fichier n&apos;est sélectionné.</translation>
    </message>
    <message>
        <source>The settings could not be loaded from %1:
%2</source>
        <translation>Les réglages n&apos;ont pas pu être chargés depuis %1 :
%2</translation>
    </message>
    <message>
        <source>The settings could not be saved to %1:
%2</source>
        <translation>Les réglages n&apos;ont pas pu être enregistrés dans %1 :
%2</translation>
    </message>
    <message>
        <source>These files or folders do not exist and were left out:
%1</source>
        <translation>Ces fichiers ou dossiers n&apos;existent pas et ont été laissés de côté :
%1</translation>
    </message>
    <message>
        <source>More Rules</source>
        <translation>Autres règles</translation>
    </message>
    <message>
        <source>Live previe&amp;w</source>
        <translation>Aperçu en direct</translation>
    </message>
    <message>
        <source>Updates the preview list by itself after every change of the rules or of the selected files</source>
        <translation>Met à jour la liste d&apos;aperçu d&apos;elle-même après chaque modification des règles ou des fichiers sélectionnés</translation>
    </message>
    <message>
        <source>Updating preview…</source>
        <translation>Mise à jour de l&apos;aperçu…</translation>
    </message>
</context>
<context>
    <name>quorvan::CMoreRulesPage</name>
    <message>
        <source>Positions</source>
        <translation>Positions</translation>
    </message>
    <message>
        <source>Re&amp;move</source>
        <translation>S&amp;upprimer</translation>
    </message>
    <message>
        <source>Removes characters from the name (the extension stays)</source>
        <translation>Supprime des caractères du nom (l&apos;extension reste)</translation>
    </message>
    <message>
        <source>How many characters to remove</source>
        <translation>Combien de caractères supprimer</translation>
    </message>
    <message>
        <source>1 is the first character; -1 the last, counted from the end</source>
        <translation>1 est le premier caractère ; -1 le dernier, compté depuis la fin</translation>
    </message>
    <message>
        <source>I&amp;nsert</source>
        <translation>I&amp;nsérer</translation>
    </message>
    <message>
        <source>Inserts text into the name (the extension stays)</source>
        <translation>Insère du texte dans le nom (l&apos;extension reste)</translation>
    </message>
    <message>
        <source>The text to insert</source>
        <translation>Le texte à insérer</translation>
    </message>
    <message>
        <source>1 puts the text first; -1 after the last character</source>
        <translation>1 place le texte en tête ; -1 après le dernier caractère</translation>
    </message>
    <message>
        <source>characters from position</source>
        <translation>caractères depuis la position</translation>
    </message>
    <message>
        <source>at position</source>
        <translation>à la position</translation>
    </message>
    <message>
        <source>Regular expression</source>
        <translation>Expression régulière</translation>
    </message>
    <message>
        <source>Replace with re&amp;gular expression:</source>
        <translation>Remplacer par expression régu&amp;lière :</translation>
    </message>
    <message>
        <source>Replaces every match of the pattern (PCRE2 syntax)</source>
        <translation>Remplace chaque correspondance du motif (syntaxe PCRE2)</translation>
    </message>
    <message>
        <source>For example ^IMG_(\d{4})(\d{2})(\d{2})</source>
        <translation>Par exemple ^IMG_(\d{4})(\d{2})(\d{2})</translation>
    </message>
    <message>
        <source>$1, ${2} or ${name} stand for a group, $$ for a dollar sign</source>
        <translation>$1, ${2} ou ${name} désignent un groupe, $$ un signe dollar</translation>
    </message>
    <message>
        <source>with:</source>
        <translation>par :</translation>
    </message>
    <message>
        <source>Ignore &amp;case</source>
        <translation>Ignorer la &amp;casse</translation>
    </message>
    <message>
        <source>Matches upper and lower case alike</source>
        <translation>Majuscules et minuscules sont traitées pareil</translation>
    </message>
    <message>
        <source>Incl&amp;ude the extension</source>
        <translation>Inclure l&apos;e&amp;xtension</translation>
    </message>
    <message>
        <source>Matches the whole name; otherwise only the part before the extension</source>
        <translation>Cherche dans le nom entier ; sinon seulement dans la partie avant l&apos;extension</translation>
    </message>
    <message>
        <source>Clean-up</source>
        <translation>Nettoyage</translation>
    </message>
    <message>
        <source>Replace runs of blan&amp;ks with:</source>
        <translation>Remplacer les suites de &amp;blancs par :</translation>
    </message>
    <message>
        <source>Each run of blanks and tabs becomes the text (empty removes it)</source>
        <translation>Chaque suite de blancs et de tabulations devient ce texte (vide la supprime)</translation>
    </message>
    <message>
        <source>Remo&amp;ve accents</source>
        <translation>Enle&amp;ver les accents</translation>
    </message>
    <message>
        <source>&quot;Crème Brûlée&quot; becomes &quot;Creme Brulee&quot;</source>
        <translation>« Crème Brûlée » devient « Creme Brulee »</translation>
    </message>
    <message>
        <source>Transliterate to ASCII</source>
        <translation>Translittérer en ASCII</translation>
    </message>
    <message>
        <source>Writes other scripts in Latin letters: &quot;Привет&quot; becomes &quot;Privet&quot;</source>
        <translation>Écrit les autres écritures en lettres latines : « Привет » devient « Privet »</translation>
    </message>
    <message>
        <source>unchanged</source>
        <translation>inchangé</translation>
    </message>
    <message>
        <source>NFC</source>
        <translation>NFC</translation>
    </message>
    <message>
        <source>NFD</source>
        <translation>NFD</translation>
    </message>
    <message>
        <source>NFC composes accented letters, NFD decomposes them (as macOS stores names)</source>
        <translation>NFC compose les lettres accentuées, NFD les décompose (comme macOS enregistre les noms)</translation>
    </message>
    <message>
        <source>Trim blanks and dots at both ends</source>
        <translation>Ôter blancs et points aux deux bouts</translation>
    </message>
    <message>
        <source>Removes blanks and dots around the name</source>
        <translation>Ôte les blancs et les points autour du nom</translation>
    </message>
    <message>
        <source>Unicode &amp;form:</source>
        <translation>&amp;Forme Unicode :</translation>
    </message>
    <message>
        <source>Case st&amp;yle</source>
        <translation>St&amp;yle de casse</translation>
    </message>
    <message>
        <source>Changes the case of the name and of the extension, last of all</source>
        <translation>Change en dernier la casse du nom et de l&apos;extension</translation>
    </message>
    <message>
        <source>Unchanged</source>
        <translation>Inchangée</translation>
    </message>
    <message>
        <source>Title Case</source>
        <translation>Mots En Capitale</translation>
    </message>
    <message>
        <source>Sentence case</source>
        <translation>Phrase</translation>
    </message>
    <message>
        <source>lowercase</source>
        <translation>minuscules</translation>
    </message>
    <message>
        <source>UPPERCASE</source>
        <translation>MAJUSCULES</translation>
    </message>
    <message>
        <source>iNVERT</source>
        <translation>iNVERSER</translation>
    </message>
    <message>
        <source>Title Case starts every word after a blank, _, -, ., ( or [</source>
        <translation>« Mots En Capitale » met une capitale après un blanc, _, -, ., ( ou [</translation>
    </message>
    <message>
        <source>The case of the extension</source>
        <translation>La casse de l&apos;extension</translation>
    </message>
    <message>
        <source>Name:</source>
        <translation>Nom :</translation>
    </message>
    <message>
        <source>Extension:</source>
        <translation>Extension :</translation>
    </message>
    <message>
        <source>Numbering order and step</source>
        <translation>Ordre et pas de la numérotation</translation>
    </message>
    <message>
        <source>In sequencing: which file gets which number. The files are renamed in their usual order all the same</source>
        <translation>Pour la numérotation : quel fichier reçoit quel numéro. Les fichiers sont tout de même renommés dans leur ordre habituel</translation>
    </message>
    <message>
        <source>path</source>
        <translation>chemin</translation>
    </message>
    <message>
        <source>natural</source>
        <translation>naturel</translation>
    </message>
    <message>
        <source>modification time</source>
        <translation>date de modification</translation>
    </message>
    <message>
        <source>size</source>
        <translation>taille</translation>
    </message>
    <message>
        <source>Natural order puts page2 before page10</source>
        <translation>L&apos;ordre naturel place page2 avant page10</translation>
    </message>
    <message>
        <source>What each number adds to the one before; negative counts down</source>
        <translation>Ce que chaque numéro ajoute au précédent ; négatif compte à rebours</translation>
    </message>
    <message>
        <source>Restart numbering in each folder</source>
        <translation>Recommencer la numérotation dans chaque dossier</translation>
    </message>
    <message>
        <source>With subfolders included, each folder numbers from the start</source>
        <translation>Avec les sous-dossiers, chaque dossier numérote depuis le début</translation>
    </message>
    <message>
        <source>Number in order of:</source>
        <translation>Numéroter par :</translation>
    </message>
    <message>
        <source>Step:</source>
        <translation>Pas :</translation>
    </message>
    <message>
        <source>Name from template</source>
        <translation>Nom d&apos;après un modèle</translation>
    </message>
    <message>
        <source>Name from template:</source>
        <translation>Nom d&apos;après un modèle :</translation>
    </message>
    <message>
        <source>Builds the name from the file&apos;s own values: {taken:%Y-%m-%d}, {camera}, {artist}, {title}, {track:2}, {n:3}, {mtime}...; a &quot;/&quot; makes folders</source>
        <translation>Compose le nom à partir des données du fichier lui-même : {taken:%Y-%m-%d}, {camera}, {artist}, {title}, {track:2}, {n:3}, {mtime}... ; un « / » crée des dossiers</translation>
    </message>
    <message>
        <source>For example {taken:%Y-%m-%d %H.%M.%S} or {track:2} - {artist} - {title}; {{ and }} stand for braces</source>
        <translation>Par exemple {taken:%Y-%m-%d %H.%M.%S} ou {track:2} - {artist} - {title} ; {{ et }} représentent les accolades</translation>
    </message>
    <message>
        <source>date taken</source>
        <translation>date de prise de vue</translation>
    </message>
</context>
<context>
    <name>quorvan::COperationsModel</name>
    <message>
        <source>Operation</source>
        <translation>Opération</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Fichier</translation>
    </message>
    <message>
        <source>Details</source>
        <translation>Détails</translation>
    </message>
</context>
<context>
    <name>quorvan::CProcessingDlg</name>
    <message>
        <source>Processing names...</source>
        <translation>Traitement des noms...</translation>
    </message>
    <message>
        <source>n/a</source>
        <translation>s. o.</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Annuler</translation>
    </message>
    <message>
        <source>Original File Name:</source>
        <translation>Nom d&apos;origine :</translation>
    </message>
    <message>
        <source>Renamed File Name:</source>
        <translation>Nouveau nom :</translation>
    </message>
    <message>
        <source>Processed:</source>
        <translation>Traités :</translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation>%1 sur %2</translation>
    </message>
    <message>
        <source>Error...</source>
        <translation>Erreur...</translation>
    </message>
</context>
<context>
    <name>quorvan::CProductInfoDlg</name>
    <message>
        <source>About %1</source>
        <translation>À propos de %1</translation>
    </message>
    <message>
        <source>Free to use. Always keep a copy of files you cannot replace.</source>
        <translation>D&apos;utilisation libre. Gardez toujours une copie des fichiers irremplaçables.</translation>
    </message>
    <message>
        <source>Times Started:</source>
        <translation>Démarrages :</translation>
    </message>
    <message>
        <source>Times Used:</source>
        <translation>Utilisations :</translation>
    </message>
    <message>
        <source>Files Processed:</source>
        <translation>Fichiers traités :</translation>
    </message>
    <message>
        <source>The number of times that the application has been started</source>
        <translation>Le nombre de démarrages de l&apos;application</translation>
    </message>
    <message>
        <source>The number of times the rename process has been executed</source>
        <translation>Le nombre de renommages effectués</translation>
    </message>
    <message>
        <source>The number of files that have been processed</source>
        <translation>Le nombre de fichiers traités</translation>
    </message>
    <message>
        <source>Questions, ideas or problems? Send a mail to
quorvan@example.com and let us know.</source>
        <translation>Des questions, des idées, des problèmes ? Écrivez à
quorvan@example.com pour nous le dire.</translation>
    </message>
    <message>
        <source>Also check out other downloads on our web site</source>
        <translation>D&apos;autres téléchargements vous attendent sur notre site</translation>
    </message>
    <message>
        <source>Also check out other downloads on our web site.</source>
        <translation>D&apos;autres téléchargements vous attendent sur notre site.</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
</context>
<context>
    <name>quorvan::CReleaseChoiceDlg</name>
    <message>
        <source>Choose a release</source>
        <translation>Choisir une édition</translation>
    </message>
    <message>
        <source>Several releases hold this CD. Choose the one whose track titles to use:</source>
        <translation>Plusieurs éditions contiennent ce CD. Choisissez celle dont les titres seront utilisés :</translation>
    </message>
    <message>
        <source>Artist</source>
        <translation>Artiste</translation>
    </message>
    <message>
        <source>Title</source>
        <translation>Titre</translation>
    </message>
    <message>
        <source>Year</source>
        <translation>Année</translation>
    </message>
    <message>
        <source>Country</source>
        <translation>Pays</translation>
    </message>
    <message>
        <source>Format</source>
        <translation>Format</translation>
    </message>
</context>
<context>
    <name>quorvan::CRenameSettingsDlg</name>
    <message>
        <source>Specifies the prefix to add to the file names</source>
        <translation>Indique le préfixe à ajouter aux noms de fichier</translation>
    </message>
    <message>
        <source>Specifies the suffix to add to the file names (before the extension)</source>
        <translation>Indique le suffixe à ajouter aux noms de fichier (avant l&apos;extension)</translation>
    </message>
    <message>
        <source>Text Modifications:</source>
        <translation>Modifications du texte :</translation>
    </message>
    <message>
        <source>Enables textual modifications</source>
        <translation>Active les modifications du texte</translation>
    </message>
    <message>
        <source>Sequencing:</source>
        <translation>Numérotation :</translation>
    </message>
    <message>
        <source>Enables numeric sequencing modifications</source>
        <translation>Active la numérotation</translation>
    </message>
    <message>
        <source>Add Prefix:</source>
        <translation>Préfixe :</translation>
    </message>
    <message>
        <source>Add Suffix:</source>
        <translation>Suffixe :</translation>
    </message>
    <message>
        <source>Change case:</source>
        <translation>Casse :</translation>
    </message>
    <message>
        <source>Changes the case of the file names to either upper or lower case</source>
        <translation>Met les noms de fichier tout en majuscules ou tout en minuscules</translation>
    </message>
    <message>
        <source>UPPERCASE</source>
        <translation>MAJUSCULES</translation>
    </message>
    <message>
        <source>lowercase</source>
        <translation>minuscules</translation>
    </message>
    <message>
        <source>Replace String:</source>
        <translation>Remplacer :</translation>
    </message>
    <message>
        <source>Replaces instances of one string with another within the file names</source>
        <translation>Remplace dans les noms de fichier chaque occurrence d&apos;un texte par un autre</translation>
    </message>
    <message>
        <source>with:</source>
        <translation>par :</translation>
    </message>
    <message>
        <source>This search and replace is case sensitive</source>
        <translation>Ce remplacement respecte la casse</translation>
    </message>
    <message>
        <source>Sequence is a prefix</source>
        <translation>Numéro en préfixe</translation>
    </message>
    <message>
        <source>Specifies that the sequence is placed at the start of the file names</source>
        <translation>Place le numéro au début des noms de fichier</translation>
    </message>
    <message>
        <source>Sequence is a suffix</source>
        <translation>Numéro en suffixe</translation>
    </message>
    <message>
        <source>Specifies that the sequence is placed at the end of the file names (before the extension)</source>
        <translation>Place le numéro à la fin des noms de fichier (avant l&apos;extension)</translation>
    </message>
    <message>
        <source>Sequence replaces original file name</source>
        <translation>Numéro à la place du nom</translation>
    </message>
    <message>
        <source>Replaces the file names with the sequences</source>
        <translation>Remplace les noms de fichier par les numéros</translation>
    </message>
    <message>
        <source>Numeric Sequence:</source>
        <translation>Suite de nombres :</translation>
    </message>
    <message>
        <source>Specifies that the sequencing should be numeric (1, 2, 3, etc...)</source>
        <translation>Numérote avec des nombres (1, 2, 3, etc.)</translation>
    </message>
    <message>
        <source>Alpha Sequence:</source>
        <translation>Suite de lettres :</translation>
    </message>
    <message>
        <source>Specifies that the sequencing should be alpha-based (A, B, C, etc...)</source>
        <translation>Numérote avec des lettres (A, B, C, etc.)</translation>
    </message>
    <message>
        <source>Start with:</source>
        <translation>Début :</translation>
    </message>
    <message>
        <source>Digits:</source>
        <translation>Chiffres :</translation>
    </message>
    <message>
        <source>Characters:</source>
        <translation>Caractères :</translation>
    </message>
</context>
<context>
    <name>quorvan::CRetrievedTitlesModel</name>
    <message>
        <source>#</source>
        <translation>N°</translation>
    </message>
    <message>
        <source>Retrieved Name</source>
        <translation>Titre obtenu</translation>
    </message>
    <message>
        <source>Length (mm:ss)</source>
        <translation>Durée (mm:ss)</translation>
    </message>
</context>
<context>
    <name>quorvan::CRunListModel</name>
    <message>
        <source>Date</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>Folder</source>
        <translation>Dossier</translation>
    </message>
    <message>
        <source>Mode</source>
        <translation>Mode</translation>
    </message>
    <message>
        <source>Done</source>
        <translation>Traités</translation>
    </message>
    <message>
        <source>Failed</source>
        <translation>Échec</translation>
    </message>
    <message>
        <source>State</source>
        <translation>État</translation>
    </message>
</context>
<context>
    <name>quorvan::CSelectedTracksModel</name>
    <message>
        <source>Name</source>
        <translation>Nom</translation>
    </message>
</context>
<context>
    <name>quorvan::CVantorTabControl</name>
    <message>
        <source>Rename Settings</source>
        <translation>Renommage</translation>
    </message>
    <message>
        <source>Extended Settings</source>
        <translation>Avancé</translation>
    </message>
    <message>
        <source>Attribute Settings</source>
        <translation>Attributs</translation>
    </message>
    <message>
        <source>CD Audio Settings</source>
        <translation>CD audio</translation>
    </message>
    <message>
        <source>Filter Settings</source>
        <translation>Filtres</translation>
    </message>
</context>
<context>
    <name>quorvan::CWaitDlg</name>
    <message>
        <source>Waiting for last file processing to complete...</source>
        <translation>En attente de la fin du traitement du dernier fichier...</translation>
    </message>
</context>
<context>
    <name>quorvan::CoreTexts</name>
    <message>
        <source>Info...</source>
        <translation>Info...</translation>
    </message>
    <message>
        <source>Error...</source>
        <translation>Erreur...</translation>
    </message>
    <message>
        <source>Issue...</source>
        <translation>Problème...</translation>
    </message>
    <message>
        <source>Create folder?</source>
        <translation>Créer le dossier ?</translation>
    </message>
    <message>
        <source>The destination folder for the rename does not exist.
Do you wish to create this folder?</source>
        <translation>Le dossier de destination du renommage n&apos;existe pas.
Voulez-vous créer ce dossier ?</translation>
    </message>
    <message>
        <source>There are no files to process.</source>
        <translation>Il n&apos;y a aucun fichier à traiter.</translation>
    </message>
    <message>
        <source>Rename process complete.</source>
        <translation>Renommage terminé.</translation>
    </message>
    <message>
        <source>Rename process aborted.</source>
        <translation>Renommage interrompu.</translation>
    </message>
    <message>
        <source>Unable to create processing thread.</source>
        <translation>Impossible de créer le fil de traitement.</translation>
    </message>
    <message>
        <source>The previous rename process is still finishing. Please try again in a moment.</source>
        <translation>Le renommage précédent n&apos;est pas encore tout à fait fini. Réessayez dans un instant.</translation>
    </message>
    <message>
        <source>Another rename run is working in this folder. Try again when it has finished.</source>
        <translation>Un autre renommage est en cours dans ce dossier. Réessayez quand il sera terminé.</translation>
    </message>
    <message>
        <source>Unable to get this CD&apos;s information.</source>
        <translation>Impossible d&apos;obtenir les informations de ce CD.</translation>
    </message>
    <message>
        <source>No CD drive is selected.</source>
        <translation>Aucun lecteur CD n&apos;est choisi.</translation>
    </message>
    <message>
        <source>complete</source>
        <translation>terminée</translation>
    </message>
    <message>
        <source>cancelled</source>
        <translation>annulée</translation>
    </message>
    <message>
        <source>aborted</source>
        <translation>avortée</translation>
    </message>
    <message>
        <source>interrupted</source>
        <translation>interrompue</translation>
    </message>
    <message>
        <source>running</source>
        <translation>en cours</translation>
    </message>
    <message>
        <source>undone</source>
        <translation>défaite</translation>
    </message>
    <message>
        <source>partly undone</source>
        <translation>en partie défaite</translation>
    </message>
    <message>
        <source>kept</source>
        <translation>conservée</translation>
    </message>
</context>
<context>
    <name>quorvan::PageWidgets</name>
    <message>
        <source>Before</source>
        <translation>Avant</translation>
    </message>
    <message>
        <source>On</source>
        <translation>Le</translation>
    </message>
    <message>
        <source>After</source>
        <translation>Après</translation>
    </message>
</context>
</TS>
